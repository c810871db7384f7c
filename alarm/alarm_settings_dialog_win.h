// frmSetupAlm, "アラーム - [n/20]": the 20 weekly alarms, one at a time (前頁 and 次頁 turn to
// the others), each over the tabs
// 時刻 (time, weekdays, message), 音 (WAVE, MIDI or CD sound) and ダイアログ (where the
// notification shows, its icon), with a test button that fires the alarm shown at once.
// It edits a private working copy; OK puts it into the settings and stores all 20 alarms.
#pragma once

#include <windows.h>

#include "alarm/alarm_settings_model.h"
#include "alarm/alarm_win.h"
#include "settings/settings_host.h"
#include "util/form_win.h"
#include "util/time_box_win.h"

namespace hv {

class AlarmSettingsDialog : public Form, private CdProbe {
public:
    static constexpr int kIdEnable = 100;  // chkAlmEnable
    static constexpr int kIdBack = 101;    // cmdBack
    static constexpr int kIdNext = 102;    // cmdNext
    static constexpr int kIdTabs = 103;    // TabStrip1
    static constexpr int kIdTimeLabel = 110;
    static constexpr int kIdHour = 111;  // txtAlmHH
    static constexpr int kIdHourSpin = 112;
    static constexpr int kIdHourLabel = 113;
    static constexpr int kIdMinute = 114;  // txtAlmMM
    static constexpr int kIdMinuteSpin = 115;
    static constexpr int kIdWeek = 120;  // chkWeek(i) is kIdWeek + i, 0 = Sunday
    static constexpr int kIdMessageLabel = 127;
    static constexpr int kIdMessage = 128;  // txtAlmMessage
    static constexpr int kIdKind = 130;     // optAlmSoundType(k) is kIdKind + k
    static constexpr int kIdGuide = 133;    // lblSoundGuide
    static constexpr int kIdSoundFile = 134;
    static constexpr int kIdBrowse = 135;
    static constexpr int kIdTrack = 136;    // sldTrack
    static constexpr int kIdReadout = 137;  // lblTrack
    static constexpr int kIdSoundOption = 138;
    static constexpr int kIdPositionFrame = 140;
    static constexpr int kIdPosition = 141;  // optAlmDlgPos(k) is kIdPosition + k
    static constexpr int kIdIconFrame = 146;
    static constexpr int kIdIcon = 147;        // picIcon
    static constexpr int kIdModifyIcon = 148;  // cmdModifyIcon
    static constexpr int kIdTest = 150;        // cmdTest
    static constexpr int kIdHelp = 151;
    // Weekly or on a date; the holiday rule.
    static constexpr int kIdSchedule = 160;  // kIdSchedule + 0 weekly, + 1 on a date
    static constexpr int kIdDate = 162;
    static constexpr int kIdSkipHolidays = 163;
    // Snooze, on the notice's tab.
    static constexpr int kIdSnoozeLabel = 170;
    static constexpr int kIdSnoozeMinutes = 171;
    static constexpr int kIdSnoozeSpin = 172;
    static constexpr int kIdSnoozeUnit = 173;
    static constexpr int kIdSnoozeLimitLabel = 174;
    static constexpr int kIdSnoozeLimit = 175;
    // The overview, the fourth tab.
    static constexpr int kIdOverviewLabel = 180;
    static constexpr int kIdOverview = 181;
    static constexpr int kIdOpen = 182;
    static constexpr int kOverviewPage = 4;
    static constexpr int kHelpContext = 7;

    // `actions` fires the test and owns the sounds the dialog stops when it closes.
    AlarmSettingsDialog(SettingsHost& host, AlarmActions& actions);

    // Modal to `owner`; true when OK stored the alarms. Every sound stops when it closes.
    bool Run(HWND owner);
    const AlarmSettingsModel& model() const { return model_; }
    // The icon the preview shows.
    HICON PreviewIcon() const { return Picture(kIdIcon); }

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    void OnValueChanged(int id) override;
    bool OnValidate(int id) override;
    bool OnOk() override;
    void OnNewDpi() override { ShowAlarmIcon(); }

private:
    // CdProbe: the track count of the disc, through the program's MCI commands.
    std::uint32_t CountTracks(std::wstring& reply) override;
    void ReportError() override;

    void ShowAlarm();
    void ShowSoundPanel();
    // The weekly or date controls and the snooze controls, as the alarm has them.
    void ShowSchedule();
    void ShowSnooze();
    // 曜日で繰り返す or 日付を指定 chosen (`onDate`): a date box not typed yet starts from
    // FirstOneOffDate.
    void ChooseSchedule(bool onDate);
    // The overview's lines from the working copy, and its chosen alarm opened on the first tab.
    void ShowOverview();
    void OpenChosen();
    // Alarm `index` (0..19) on the first tab, what was shown captured first.
    void OpenAlarm(int index);
    // The first enabled one-off alarm whose time has passed is shown and named; false then.
    bool RefusePastDates();
    // The alarm's icon, drawn for the dialog's dpi.
    void ShowAlarmIcon();
    WeekdayChecks Weekdays() const;
    // The next or previous alarm, once a typed hour or minute is taken.
    void Turn(bool next);
    void Browse();
    void ModifyIcon();
    void Test();

    SettingsHost& host_;
    AlarmActions& actions_;
    AlarmSettingsModel model_;
    TimeBoxes times_;
};

}  // namespace hv
