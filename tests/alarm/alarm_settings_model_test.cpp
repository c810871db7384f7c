// The alarm settings dialog's rules without the dialog: paging, what an alarm shows and what
// leaving it takes, the sound tab by kind and CD probe, the track readout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "alarm/alarm_settings_model.h"
#include "settings/settings_schema.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace hv {
namespace {

// Answers the track-count query from a script of (result, reply) and counts the reports.
class ScriptedProbe : public CdProbe {
public:
    std::uint32_t CountTracks(std::wstring& reply) override {
        const auto [result, text] = answers.empty() ? std::pair<std::uint32_t, std::wstring>{0, L"0"} : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        ++queries;
        reply = text;
        return result;
    }
    void ReportError() override { ++reports; }
    std::vector<std::pair<std::uint32_t, std::wstring>> answers;
    int queries = 0;
    int reports = 0;
};

// A literal with its embedded NULs.
template <std::size_t N>
std::wstring Z(const wchar_t (&text)[N]) {
    return std::wstring(text, N - 1);
}

using Alarms = std::array<AlarmEntry, kAlarmCount>;
const WeekdayChecks kAllDays{true, true, true, true, true, true, true};

TEST(AlarmSettingsModelTest, AlarmsRunFromOneToTwentyAndLeavingOneTakesItsBoxes) {
    Alarms alarms{};
    ScriptedProbe probe;
    AlarmSettingsModel model(alarms);
    model.ShowAlarm(probe);
    EXPECT_EQ(std::tuple(model.index(), model.CanGoBack(), model.CanGoNext(), AlarmTitle(model.index())),
              std::tuple(0, false, true, std::wstring(L"アラーム - [1/20]")));
    model.Next(true, {true, false, false, false, false, false, false}, probe);  // only Sunday
    for (int i = 1; i < kAlarmCount + 3; ++i) model.Next(false, kAllDays, probe);  // Next past the end does nothing
    EXPECT_EQ(std::tuple(model.index(), model.CanGoBack(), model.CanGoNext(), AlarmTitle(model.index())),
              std::tuple(19, true, false, std::wstring(L"アラーム - [20/20]")));
    model.Back(false, kAllDays, probe);
    EXPECT_EQ(model.index(), 18);
    EXPECT_EQ(probe.queries, 0) << "no CD alarm, no probe";

    Settings settings;
    model.CaptureAlarm(false, kAllDays);
    model.Commit(settings);
    const AlarmEntry& first = settings.Alarms[0];
    EXPECT_EQ(std::tuple(first.Enabled, first.Weekdays, PackAlarmAttr(first)[3]),
              std::tuple(true, std::wstring(L"1000000"), std::uint8_t{0x40}));
    // Untouched alarms stay at their defaults: nothing of another alarm leaks into them.
    for (int i = 1; i < kAlarmCount; ++i) EXPECT_EQ(PackAlarmAttr(settings.Alarms[static_cast<std::size_t>(i)]), kDefaultAlarmAttr) << i;
}

TEST(AlarmSettingsModelTest, WeekdayTextsAndBoxesConvertBothWays) {
    const struct {
        const wchar_t* text;
        WeekdayChecks checks;
        const wchar_t* back;
    } cases[] = {
        {L"1111111", kAllDays, L"1111111"},
        {L"1000001", {true, false, false, false, false, false, true}, L"1000001"},
        {L"0000000", {}, L"0000000"},
        {L"10", {true}, L"1000000"},  // short or odd texts read as far as they go
        {L"1x1 1111", {true, false, true, false, true, true, true}, L"1010111"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChecksOfWeekdays(c.text), c.checks) << c.text;
        EXPECT_EQ(WeekdaysOfChecks(ChecksOfWeekdays(c.text)), c.back) << c.text;
    }
}

TEST(AlarmSettingsModelTest, TheSoundTabFollowsTheKindAndStoredValuesWithoutAnOptionAreKept) {
    Alarms alarms{};
    alarms[0] = {.SoundKind = SoundKind::Wave, .WavFile = L"a.wav", .MidFile = L"b.mid", .Loop = true};
    alarms[1] = {.SoundKind = SoundKind::Midi, .WavFile = L"c.wav", .MidFile = L"d.mid"};
    alarms[2] = {.SoundKind = static_cast<SoundKind>(3), .DialogPosition = static_cast<DialogPosition>(6)};
    ScriptedProbe probe;
    AlarmSettingsModel model(alarms);
    model.ShowAlarm(probe);
    SoundPanel s = model.sound();
    EXPECT_EQ(std::tuple(s.option, s.guide, s.fileText, s.fileVisible, s.optionCaption, s.optionChecked, s.trackVisible),
              std::tuple(0, std::wstring(L"ウェーブファイル名(&F):"), std::wstring(L"a.wav"), true,
                         std::wstring(L"繰り返し再生する"), true, false));
    model.StoreSoundFileText(L"typed.wav");
    model.SetSoundOption(false);
    EXPECT_EQ(std::tuple(model.entry().WavFile, model.entry().MidFile, model.entry().Loop),
              std::tuple(std::wstring(L"typed.wav"), std::wstring(L"b.mid"), false));

    model.Next(false, kAllDays, probe);
    s = model.sound();
    EXPECT_EQ(std::tuple(s.option, s.guide, s.fileText, s.fileVisible, s.optionVisible),
              std::tuple(1, std::wstring(L"MIDIファイル名(&F):"), std::wstring(L"d.mid"), true, false));
    model.StoreSoundFileText(L"e.mid");
    EXPECT_EQ(std::tuple(model.entry().WavFile, model.entry().MidFile), std::tuple(std::wstring(L"c.wav"), std::wstring(L"e.mid")));
    EXPECT_EQ(SoundFileFilter(SoundKind::Midi), Z(L"MIDIシーケンサ (*.mid;*rmi)\0*.mid;*.rmi\0"));
    EXPECT_EQ(SoundFileFilter(SoundKind::Wave), Z(L"サウンドファイル (*.wav)\0*.wav\0"));

    model.Next(false, kAllDays, probe);  // kind 3, position 6: no option, nothing of a kind shown
    s = model.sound();
    EXPECT_EQ(std::tuple(s.option, s.fileVisible, s.optionVisible, s.trackVisible), std::tuple(-1, false, false, false));
    EXPECT_EQ(std::tuple(SoundKindOption(model.entry().SoundKind), DialogPositionOption(model.entry().DialogPosition),
                         DialogPositionOption(DialogPosition::BottomRight)),
              std::tuple(-1, -1, 4));
    Settings settings;
    model.CaptureAlarm(false, kAllDays);
    model.Commit(settings);
    EXPECT_EQ(PackAlarmAttr(settings.Alarms[2])[0], 3 * 8 + 6) << "kept until an option is picked";
}

// A new CD alarm starts at the disc's first track (track 0 does not play); without a disc the
// alarm keeps its count and track, and only the controls that choose from them are greyed.
TEST(AlarmSettingsModelTest, TheCdProbeSetsTheCountKeepsItWithoutADiscAndReportsEachDistinctErrorOnce) {
    Alarms alarms{};
    ScriptedProbe probe;
    probe.answers = {{0, L"1"}, {0, L"12"}, {275, L""}, {275, L""}, {263, L""}, {275, L""}, {0, L"400"}};
    AlarmSettingsModel model(alarms);
    model.ShowAlarm(probe);
    const int cd = static_cast<int>(SoundKind::CdAudio);
    struct Step {
        std::uint16_t count;
        bool sliderEnabled;
        int reports;
    };
    const Step steps[] = {{1, false, 0}, {12, true, 0}, {12, false, 1}, {12, false, 1}, {12, false, 2}, {12, false, 3},
                          {255, true, 3}};
    for (const Step& step : steps) {
        model.ChooseSoundKind(0, probe);
        model.ChooseSoundKind(cd, probe);
        const SoundPanel& s = model.sound();
        EXPECT_EQ(std::tuple(model.entry().CdTrackCount, model.entry().CdTrack, s.sliderPosition, s.sliderEnabled,
                             s.guideEnabled, s.optionEnabled, probe.reports),
                  std::tuple(step.count, 1, 1, step.sliderEnabled, step.sliderEnabled, step.sliderEnabled,
                             step.reports))
            << probe.queries;
        EXPECT_EQ(std::tuple(s.guide, s.trackVisible, s.fileVisible, s.optionCaption),
                  std::tuple(std::wstring(L"開始トラック(&S):"), true, false, std::wstring(L"ランダム演奏")));
        if (step.sliderEnabled) {
            EXPECT_EQ(s.sliderMaximum, step.count);
        }
    }
    model.ChooseSoundKind(0, probe);
    EXPECT_TRUE(model.sound().guideEnabled && model.sound().optionEnabled && model.sound().fileVisible);
}

TEST(AlarmSettingsModelTest, TheReadoutShowsThePositionOrAQuestionMarkAndMovingTheSliderClearsRandomPlay) {
    EXPECT_EQ(std::tuple(TrackReadout(false, 3, 12), TrackReadout(true, 3, 12), TrackReadout(false, 0, 0)),
              std::tuple(std::wstring(L"3/12"), std::wstring(L"?/12"), std::wstring(L"0/0")));
    Alarms alarms{};
    alarms[0] = {.SoundKind = SoundKind::CdAudio, .CdTrack = 3, .CdRandom = true, .CdTrackCount = 12};
    ScriptedProbe probe;
    probe.answers = {{0, L"12"}};
    AlarmSettingsModel model(alarms);
    model.ShowAlarm(probe);
    EXPECT_EQ(std::tuple(model.sound().sliderMaximum, model.sound().sliderPosition, model.sound().readout,
                         model.sound().optionChecked),
              std::tuple(12, 3, std::wstring(L"?/12"), true));
    model.MoveTrackSlider(7);
    EXPECT_EQ(std::tuple(model.sound().readout, model.sound().optionChecked, model.entry().CdRandom),
              std::tuple(std::wstring(L"7/12"), false, false));
    model.SetSoundOption(true);
    EXPECT_EQ(model.sound().readout, L"?/12");
    EXPECT_EQ(model.TestEntry().CdTrack, 7) << "the test plays the slider's track";
}

TEST(AlarmSettingsModelTest, ATrackTheSliderCannotShowIsKeptAndNoOtherAlarmsTrackIsTaken) {
    Alarms alarms{};
    alarms[0] = {.SoundKind = SoundKind::CdAudio, .CdTrack = 5, .CdTrackCount = 12};
    alarms[1] = {.SoundKind = SoundKind::CdAudio, .CdTrack = 9, .CdTrackCount = 4};  // beyond its count
    alarms[2] = {.SoundKind = SoundKind::Wave};
    ScriptedProbe probe;
    probe.answers = {{0, L"12"}};
    AlarmSettingsModel model(alarms);
    model.ShowAlarm(probe);
    model.Next(false, kAllDays, probe);
    EXPECT_EQ(std::tuple(model.sound().sliderPosition, model.sound().sliderMaximum), std::tuple(5, 12)) << "as it was";
    model.Next(false, kAllDays, probe);
    EXPECT_EQ(std::tuple(model.sound().sliderPosition, model.sound().sliderMaximum), std::tuple(0, 0));
    model.Back(false, kAllDays, probe);
    model.Back(false, kAllDays, probe);
    Settings settings;
    model.CaptureAlarm(false, kAllDays);
    model.Commit(settings);
    EXPECT_EQ(std::tuple(settings.Alarms[0].CdTrack, settings.Alarms[1].CdTrack, settings.Alarms[2].CdTrack),
              std::tuple(5, 9, 0));
    EXPECT_EQ(probe.queries, 2) << "into a CD alarm from a WAVE alarm only, not from CD alarm to CD alarm";
}

}  // namespace
}  // namespace hv
