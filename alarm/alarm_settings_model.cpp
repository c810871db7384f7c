#include "alarm/alarm_settings_model.h"

#include <algorithm>

namespace hv {

namespace {

constexpr int kMaxTrackCount = 255;  // the count is stored in one byte

// The reply of the track-count query read as a decimal number: its leading digits.
int TrackCountOf(std::wstring_view reply) {
    int count = 0;
    std::size_t i = reply.find_first_not_of(L' ');
    for (; i != std::wstring_view::npos && i < reply.size() && reply[i] >= L'0' && reply[i] <= L'9'; ++i)
        count = std::min(count * 10 + (reply[i] - L'0'), kMaxTrackCount);
    return count;
}

}  // namespace

std::wstring AlarmTitle(int index) {
    return L"アラーム - [" + std::to_wstring(index + 1) + L"/" + std::to_wstring(kAlarmCount) + L"]";
}

WeekdayChecks ChecksOfWeekdays(std::wstring_view weekdays) {
    WeekdayChecks checks{};
    for (std::size_t i = 0; i < checks.size() && i < weekdays.size(); ++i) checks[i] = weekdays[i] == L'1';
    return checks;
}

std::wstring WeekdaysOfChecks(const WeekdayChecks& checks) {
    std::wstring text;
    for (bool on : checks) text += on ? L'1' : L'0';
    return text;
}

std::wstring TrackReadout(bool random, int position, int count) {
    return (random ? std::wstring(L"?") : std::to_wstring(position)) + L"/" + std::to_wstring(count);
}

int SoundKindOption(SoundKind kind) {
    const int value = static_cast<int>(kind);
    return value < kSoundKindOptions ? value : -1;
}

int DialogPositionOption(DialogPosition position) {
    const int value = static_cast<int>(position);
    return value < kDialogPositionOptions ? value : -1;
}

std::wstring SoundFileFilter(SoundKind kind) {
    using namespace std::string_literals;
    // The MIDI pattern is "*rmi" in the description, as the program always wrote it.
    return kind != SoundKind::Wave ? L"MIDIシーケンサ (*.mid;*rmi)\0*.mid;*.rmi\0"s
                                   : L"サウンドファイル (*.wav)\0*.wav\0"s;
}

void AlarmSettingsModel::ShowAlarm(CdProbe& probe) {
    const AlarmEntry& e = entry();
    const int option = SoundKindOption(e.SoundKind);
    if (option < 0) {
        // A stored kind no option stands for plays nothing: none of the kinds' controls
        // shows, and the kind is kept until the user picks one.
        sound_.option = -1;
        sound_.guide.clear();
        sound_.fileVisible = sound_.optionVisible = sound_.trackVisible = false;
    } else if (option != sound_.option) {
        ApplySoundKind(option, probe);
    }
    ApplySoundKindLabels();
    // The slider shows this alarm's track whenever it can; a track beyond the count leaves
    // the slider as it was, and then the slider does not speak for this alarm.
    sliderShowsEntry_ = e.CdTrack <= e.CdTrackCount;
    if (sliderShowsEntry_) {
        sound_.sliderMaximum = e.CdTrackCount;
        sound_.sliderPosition = e.CdTrack;
    }
    UpdateTrackReadout();
}

void AlarmSettingsModel::CaptureAlarm(bool enabled, const WeekdayChecks& weekdays) {
    AlarmEntry& e = current();
    e.Enabled = enabled;
    e.Weekdays = WeekdaysOfChecks(weekdays);
    if (sliderShowsEntry_) e.CdTrack = static_cast<std::uint16_t>(sound_.sliderPosition);
}

void AlarmSettingsModel::Turn(int step, bool enabled, const WeekdayChecks& weekdays, CdProbe& probe) {
    const int next = index_ + step;
    if (next < 0 || next > kLastIndex) return;
    CaptureAlarm(enabled, weekdays);
    index_ = next;
    ShowAlarm(probe);
}

void AlarmSettingsModel::Back(bool enabled, const WeekdayChecks& weekdays, CdProbe& probe) {
    Turn(-1, enabled, weekdays, probe);
}

void AlarmSettingsModel::Next(bool enabled, const WeekdayChecks& weekdays, CdProbe& probe) {
    Turn(+1, enabled, weekdays, probe);
}

void AlarmSettingsModel::StoreSoundFileText(std::wstring text) {
    AlarmEntry& e = current();
    (e.SoundKind != SoundKind::Wave ? e.MidFile : e.WavFile) = text;
    sound_.fileText = std::move(text);
}

void AlarmSettingsModel::ChooseSoundKind(int option, CdProbe& probe) {
    if (option < 0 || option >= kSoundKindOptions) return;
    ApplySoundKind(option, probe);
}

void AlarmSettingsModel::ApplySoundKind(int option, CdProbe& probe) {
    sound_.option = option;
    current().SoundKind = static_cast<SoundKind>(option);
    ApplySoundKindLabels();
    const bool cd = option == static_cast<int>(SoundKind::CdAudio);
    sound_.optionVisible = option == static_cast<int>(SoundKind::Wave) || cd;
    sound_.trackVisible = cd;
    sound_.fileVisible = !cd;
    if (cd) {
        Probe(probe);
    } else {
        sound_.guideEnabled = sound_.optionEnabled = true;
    }
}

void AlarmSettingsModel::Probe(CdProbe& probe) {
    AlarmEntry& e = current();
    std::wstring reply;
    const std::uint32_t result = probe.CountTracks(reply);
    if (result != 0) {
        // Once per distinct error within one opening: paging over CD alarms without a disc
        // does not repeat the same message for every alarm.
        if (result != lastProbeError_) {
            lastProbeError_ = result;
            probe.ReportError();
        }
        // Without a disc there is nothing to choose from, and nothing to learn: the alarm
        // keeps its track and count (random play draws from that count).
        sound_.sliderEnabled = sound_.guideEnabled = sound_.optionEnabled = false;
        return;
    }
    e.CdTrackCount = static_cast<std::uint16_t>(TrackCountOf(reply));
    // Track 0 does not play: an alarm without a track starts at the disc's first.
    if (e.CdTrack == 0 && e.CdTrackCount > 0) e.CdTrack = 1;
    // One track leaves nothing to choose.
    const bool choice = e.CdTrackCount >= 2;
    sound_.sliderEnabled = sound_.guideEnabled = sound_.optionEnabled = choice;
    if (e.CdTrack <= e.CdTrackCount) {
        sound_.sliderMaximum = e.CdTrackCount;
        sound_.sliderPosition = e.CdTrack;
        sliderShowsEntry_ = true;
    } else if (choice) {
        sound_.sliderMaximum = e.CdTrackCount;
        sound_.sliderPosition = std::min(sound_.sliderPosition, sound_.sliderMaximum);
    }
    UpdateTrackReadout();
}

void AlarmSettingsModel::ApplySoundKindLabels() {
    const AlarmEntry& e = entry();
    switch (e.SoundKind) {
    case SoundKind::Wave:
        sound_.guide = L"ウェーブファイル名(&F):";
        sound_.fileText = e.WavFile;
        sound_.optionCaption = L"繰り返し再生する";
        sound_.optionChecked = e.Loop;
        break;
    case SoundKind::Midi:
        sound_.guide = L"MIDIファイル名(&F):";
        sound_.fileText = e.MidFile;
        break;
    case SoundKind::CdAudio:
        // S, not T: the test button beside the tabs has T.
        sound_.guide = L"開始トラック(&S):";
        sound_.optionCaption = L"ランダム演奏";
        sound_.optionChecked = e.CdRandom;
        UpdateTrackReadout();
        break;
    default:
        break;
    }
}

void AlarmSettingsModel::SetSoundOption(bool checked) {
    AlarmEntry& e = current();
    sound_.optionChecked = checked;
    if (e.SoundKind == SoundKind::Wave) {
        e.Loop = checked;
    } else if (e.SoundKind == SoundKind::CdAudio) {
        e.CdRandom = checked;
        UpdateTrackReadout();
    }
}

void AlarmSettingsModel::MoveTrackSlider(int position) {
    sound_.sliderPosition = std::clamp(position, 0, sound_.sliderMaximum);
    sliderShowsEntry_ = true;
    SetSoundOption(false);
    UpdateTrackReadout();
}

void AlarmSettingsModel::UpdateTrackReadout() {
    const AlarmEntry& e = entry();
    sound_.readout = TrackReadout(e.CdRandom, sound_.sliderPosition, e.CdTrackCount);
}

void AlarmSettingsModel::SetIcon(std::wstring file, int index) {
    AlarmEntry& e = current();
    e.IconFile = std::move(file);
    e.IconIndex = static_cast<std::uint16_t>(index);
}

AlarmEntry& AlarmSettingsModel::TestEntry() {
    AlarmEntry& e = current();
    if (sliderShowsEntry_) e.CdTrack = static_cast<std::uint16_t>(sound_.sliderPosition);
    return e;
}

}  // namespace hv
