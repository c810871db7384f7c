// The alarm settings dialog without the dialog: the private working copy of the 20 alarms,
// the alarm shown (its index, 0..19), and everything its controls show and take. The dialog moves values
// between this model and its controls; every rule of what a control shows or stores lives
// here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace hv {

inline constexpr int kSoundKindOptions = 3;      // "WAVEサウンド", "MIDIシーケンサ", "CDオーディオ"
inline constexpr int kDialogPositionOptions = 5;  // "中央", "左上", "左下", "右上", "右下"
inline constexpr int kMessageLimit = 80;          // characters of the message box

using WeekdayChecks = std::array<bool, kWeekdayCount>;  // index 0 = Sunday ... 6 = Saturday

// "アラーム - [n/20]" for the alarm index 0..19.
std::wstring AlarmTitle(int index);
// The weekday boxes of a Weekdays text ("1" ticks a box; anything else, or a missing
// character, leaves it clear), and the text of the boxes.
WeekdayChecks ChecksOfWeekdays(std::wstring_view weekdays);
std::wstring WeekdaysOfChecks(const WeekdayChecks& checks);
// The track readout: "?" with random play, else the slider's position; "/" and the count.
std::wstring TrackReadout(bool random, int position, int count);
// The option that shows a stored value selected; -1 (none) for a value no option has
// (sound kind 3, position 5..7), which is kept until the user picks an option.
int SoundKindOption(SoundKind kind);
int DialogPositionOption(DialogPosition position);
// The open-file dialog's filter for the sound file of `kind`.
std::wstring SoundFileFilter(SoundKind kind);

// The sound tab as the dialog shows it; which controls are visible, enabled and what they
// say follow the sound kind and the CD probe.
struct SoundPanel {
    int option = -1;                 // -1: none (before the first alarm shows, or a stored kind no option has)
    std::wstring guide = L"ウェーブファイル名(&F):";  // lblSoundGuide
    bool guideEnabled = true;
    std::wstring fileText;           // txtSoundFile
    bool fileVisible = true;         // with the browse button
    std::wstring optionCaption = L"繰り返し再生する";  // chkSoundOption
    bool optionChecked = false;
    bool optionEnabled = true;
    bool optionVisible = true;
    bool trackVisible = false;       // sldTrack and lblTrack
    bool sliderEnabled = true;
    int sliderMaximum = 0;
    int sliderPosition = 0;
    std::wstring readout = L"0/0";   // lblTrack

    bool operator==(const SoundPanel&) const = default;
};

// The CD's track count as the dialog asks for it, through the program's MCI commands.
class CdProbe {
public:
    virtual ~CdProbe() = default;
    // Sends "status cdaudio number of tracks"; the MCI result (0 = success) and the reply.
    virtual std::uint32_t CountTracks(std::wstring& reply) = 0;
    // Shows the text of the failed query's error to the user.
    virtual void ReportError() = 0;
};

class AlarmSettingsModel {
public:
    static constexpr int kLastIndex = kAlarmCount - 1;

    explicit AlarmSettingsModel(const std::array<AlarmEntry, kAlarmCount>& alarms) : working_(alarms) {}

    int index() const { return index_; }
    const AlarmEntry& entry() const { return working_[static_cast<std::size_t>(index_)]; }
    const std::array<AlarmEntry, kAlarmCount>& working() const { return working_; }
    const SoundPanel& sound() const { return sound_; }
    // Back and Next are the only bound on the index.
    bool CanGoBack() const { return index_ > 0; }
    bool CanGoNext() const { return index_ < kLastIndex; }

    // Shows the current alarm: the sound option of its kind (a changed option runs the kind's
    // rule, the CD probe included), its labels, and its track on the slider.
    void ShowAlarm(CdProbe& probe);
    // What the alarm's boxes take when it is left or OK is pressed. The slider's
    // position counts only when it shows this alarm's track (set from it or moved by the
    // user on this alarm); a position left over from another alarm is not this alarm's.
    void CaptureAlarm(bool enabled, const WeekdayChecks& weekdays);
    // Capture, then the previous or next alarm (nothing past either end).
    void Back(bool enabled, const WeekdayChecks& weekdays, CdProbe& probe);
    void Next(bool enabled, const WeekdayChecks& weekdays, CdProbe& probe);

    // Hour and minute as the boxes and spinners take them (the caller checks the range).
    void SetHour(int hour) { current().Hour = static_cast<std::uint16_t>(hour); }
    void SetMinute(int minute) { current().Minute = static_cast<std::uint16_t>(minute); }
    void SetMessage(std::wstring message) { current().Message = std::move(message); }
    void SetDialogPosition(int option) { current().DialogPosition = static_cast<DialogPosition>(option); }
    // The holiday rule, the one-off date (0: weekly on its weekdays) and the snooze.
    void SetSkipHolidays(bool on) { current().SkipHolidays = on; }
    void SetOneOffDate(std::uint32_t ymd) { current().OneOffDate = ymd; }
    void SetSnoozeMinutes(int minutes) { current().SnoozeMinutes = static_cast<std::uint16_t>(minutes); }
    void SetSnoozeLimit(std::uint16_t limit) { current().SnoozeLimit = limit; }
    // The overview's choice: capture, then alarm `alarm` (0..19).
    void Open(int alarm, bool enabled, const WeekdayChecks& weekdays, CdProbe& probe) {
        Turn(alarm - index_, enabled, weekdays, probe);
    }
    // The sound file box: the MIDI file for a MIDI (or other non-WAVE) alarm, else the WAVE file.
    void StoreSoundFileText(std::wstring text);

    // The user picks a sound kind option.
    void ChooseSoundKind(int option, CdProbe& probe);
    // The loop or random-play box was changed by the user.
    void SetSoundOption(bool checked);
    // The user moved the slider: random play is cleared first.
    void MoveTrackSlider(int position);

    // The icon chooser's result for the current alarm.
    void SetIcon(std::wstring file, int index);

    // The alarm to fire for the test button: the current entry with the slider's track. The
    // test trims the message in place, as firing does, so the working copy is returned.
    AlarmEntry& TestEntry();

    // OK: the working copy replaces the program's alarms (the caller captures the alarm first).
    void Commit(Settings& settings) const { settings.Alarms = working_; }

private:
    AlarmEntry& current() { return working_[static_cast<std::size_t>(index_)]; }
    void ApplySoundKind(int option, CdProbe& probe);
    void ApplySoundKindLabels();
    void Probe(CdProbe& probe);
    void UpdateTrackReadout();
    void Turn(int step, bool enabled, const WeekdayChecks& weekdays, CdProbe& probe);

    std::array<AlarmEntry, kAlarmCount> working_;
    int index_ = 0;
    std::uint32_t lastProbeError_ = 0;  // the last failed probe's code this opening reported
    SoundPanel sound_;
    bool sliderShowsEntry_ = false;
};

}  // namespace hv
