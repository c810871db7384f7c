#include "announce/announce_choices.h"

#include <cstdio>

namespace hv {

AnnounceChoices ChoicesFrom(const Settings& settings) {
    return {static_cast<int>(settings.AnnounceTiming), settings.AnnounceHour, settings.AnnounceMinute,
            settings.Clock24, settings.TalkSpeed};
}

void ApplyChoices(const AnnounceChoices& choices, Settings& settings) {
    settings.AnnounceTiming = static_cast<AnnounceTiming>(choices.timing);
    settings.AnnounceHour = static_cast<std::uint16_t>(choices.hour);
    settings.AnnounceMinute = static_cast<std::uint16_t>(choices.minute);
    settings.Clock24 = choices.clock24;
    settings.TalkSpeed = static_cast<std::uint8_t>(choices.speed);
}

int TimingOption(int timing) { return timing >= 0 && timing < kTimingOptionCount ? timing : -1; }

std::string SpokenTimeText(int hour, int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour % 100, minute % 100);
    return text;
}

}  // namespace hv
