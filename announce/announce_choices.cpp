#include "announce/announce_choices.h"


namespace hv {

AnnounceChoices ChoicesFrom(const Settings& settings) {
    return {static_cast<int>(settings.AnnounceTiming),
            settings.AnnounceHour,
            settings.AnnounceMinute,
            settings.Clock24,
            settings.TalkSpeed,
            settings.QuietHours,
            settings.QuietFromHour,
            settings.QuietFromMinute,
            settings.QuietToHour,
            settings.QuietToMinute,
            settings.QuietOnFocus,
            settings.TalkHotkey};
}

void ApplyChoices(const AnnounceChoices& choices, Settings& settings) {
    auto u16 = [](int value) { return static_cast<std::uint16_t>(value); };
    settings.AnnounceTiming = static_cast<AnnounceTiming>(choices.timing);
    settings.AnnounceHour = u16(choices.hour);
    settings.AnnounceMinute = u16(choices.minute);
    settings.Clock24 = choices.clock24;
    settings.TalkSpeed = static_cast<std::uint8_t>(choices.speed);
    settings.QuietHours = choices.quiet;
    settings.QuietFromHour = u16(choices.quietFromHour);
    settings.QuietFromMinute = u16(choices.quietFromMinute);
    settings.QuietToHour = u16(choices.quietToHour);
    settings.QuietToMinute = u16(choices.quietToMinute);
    settings.QuietOnFocus = choices.quietOnFocus;
    settings.TalkHotkey = static_cast<std::uint16_t>(choices.hotkey & 0x07FF);
}

int TimingOption(int timing) { return timing >= 0 && timing < kTimingOptionCount ? timing : -1; }

}  // namespace hv
