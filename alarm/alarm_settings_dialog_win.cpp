#include "alarm/alarm_settings_dialog_win.h"

#include <optional>
#include <vector>

#include "alarm/alarm_overview.h"
#include "alarm/icon_chooser_win.h"
#include "alarm/icon_strip_win.h"
#include "hvplus/program_identity.h"
#include "settings/settings_io.h"
#include "util/common_dialogs_win.h"
#include "util/dpi_win.h"
#include "util/help_win.h"

namespace hv {

namespace {

using D = AlarmSettingsDialog;
using K = ControlKind;

constexpr DWORD kMessageStyle = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;

// Table order is Tab order: each label before the control its access key reaches (so
// "分に告知(&R)" comes before the hour it names), each page's controls together. The tab
// strip is the last row: it lies under the pages' controls, which take the clicks.
constexpr ControlRow kRows[] = {
    {D::kIdEnable, K::CheckBox, L"このアラームを実行する", 12, 10, 220, 20},
    {D::kIdBack, K::Button, L"&<< 前頁", 264, 8, 78, 25},
    {D::kIdNext, K::Button, L"次頁 &>>", 346, 8, 78, 25},
    // 時刻
    {D::kIdTimeLabel, K::Label, L"分に告知(&R)", 158, 80, 120, 18, 0, 1},
    {D::kIdHour, K::Edit, L"0", 24, 76, 36, 23, ES_RIGHT, 1},
    {D::kIdHourSpin, K::Spinner, nullptr, 60, 76, 17, 23, 0, 1},
    {D::kIdHourLabel, K::Label, L"時", 82, 80, 16, 18, 0, 1},
    {D::kIdMinute, K::Edit, L"0", 100, 76, 36, 23, ES_RIGHT, 1},
    {D::kIdMinuteSpin, K::Spinner, nullptr, 136, 76, 17, 23, 0, 1},
    {D::kIdSchedule + 0, K::Option, L"曜日で繰り返す(&W)", 24, 112, 160, 20, 0, 1},
    {D::kIdSchedule + 1, K::Option, L"日付を指定(&D)", 200, 112, 112, 20, 0, 1},
    {D::kIdDate, K::Edit, L"", 314, 110, 94, 23, 0, 1, L"例: 2026/12/24"},
    {D::kIdWeek + 0, K::CheckBox, L"日", 42, 138, 46, 20, 0, 1},
    {D::kIdWeek + 1, K::CheckBox, L"月", 90, 138, 46, 20, 0, 1},
    {D::kIdWeek + 2, K::CheckBox, L"火", 138, 138, 46, 20, 0, 1},
    {D::kIdWeek + 3, K::CheckBox, L"水", 186, 138, 46, 20, 0, 1},
    {D::kIdWeek + 4, K::CheckBox, L"木", 234, 138, 46, 20, 0, 1},
    {D::kIdWeek + 5, K::CheckBox, L"金", 282, 138, 46, 20, 0, 1},
    {D::kIdWeek + 6, K::CheckBox, L"土", 330, 138, 46, 20, 0, 1},
    {D::kIdSkipHolidays, K::CheckBox, L"祝日は鳴らさない(&N)", 42, 162, 240, 20, 0, 1},
    {D::kIdMessageLabel, K::Label, L"メッセージ(&M):", 24, 194, 150, 18, 0, 1},
    {D::kIdMessage, K::Edit, L"", 24, 214, 384, 62, kMessageStyle, 1},
    // 音
    {D::kIdKind + 0, K::Option, L"WAVEサウンド", 24, 76, 120, 20, 0, 2},
    {D::kIdKind + 1, K::Option, L"MIDIシーケンサ", 150, 76, 126, 20, 0, 2},
    {D::kIdKind + 2, K::Option, L"CDオーディオ", 284, 76, 120, 20, 0, 2},
    {D::kIdGuide, K::Label, L"ウェーブファイル名(&F):", 24, 110, 220, 18, 0, 2},
    {D::kIdSoundFile, K::Edit, L"", 24, 130, 300, 23, 0, 2},
    {D::kIdBrowse, K::Button, L"参照(&B)...", 330, 129, 80, 25, 0, 2},
    {D::kIdTrack, K::Slider, nullptr, 24, 128, 300, 30, 0, 2},
    {D::kIdReadout, K::Label, L"0/0", 330, 134, 70, 18, SS_NOPREFIX, 2},
    {D::kIdSoundOption, K::CheckBox, L"繰り返し再生する", 24, 170, 220, 20, 0, 2},
    // ダイアログ
    {D::kIdPositionFrame, K::Frame, L"表示位置", 20, 70, 190, 164, 0, 3},
    {D::kIdPosition + 0, K::Option, L"中央", 84, 142, 60, 20, 0, 3},
    {D::kIdPosition + 1, K::Option, L"左上", 34, 96, 60, 20, 0, 3},
    {D::kIdPosition + 2, K::Option, L"左下", 34, 190, 60, 20, 0, 3},
    {D::kIdPosition + 3, K::Option, L"右上", 136, 96, 60, 20, 0, 3},
    {D::kIdPosition + 4, K::Option, L"右下", 136, 190, 60, 20, 0, 3},
    {D::kIdIconFrame, K::Frame, L"アイコン", 222, 70, 190, 164, 0, 3},
    {D::kIdIcon, K::Picture, nullptr, 287, 98, 60, 60, 0, 3},
    {D::kIdModifyIcon, K::Button, L"アイコンの変更(&C)...", 236, 190, 162, 26, 0, 3},
    {D::kIdSnoozeLabel, K::Label, L"スヌーズ(&Z):", 24, 254, 84, 18, 0, 3},
    {D::kIdSnoozeMinutes, K::Edit, L"5", 110, 250, 36, 23, ES_RIGHT | ES_NUMBER, 3},
    {D::kIdSnoozeSpin, K::Spinner, nullptr, 146, 250, 17, 23, 0, 3},
    {D::kIdSnoozeUnit, K::Label, L"分後", 168, 254, 44, 18, 0, 3},
    {D::kIdSnoozeLimitLabel, K::Label, L"回数(&L):", 222, 254, 62, 18, 0, 3},
    {D::kIdSnoozeLimit, K::Combo, nullptr, 286, 250, 122, 200, 0, 3},
    // 一覧
    {D::kIdOverviewLabel, K::Label, L"アラームの一覧(&V):", 20, 70, 200, 18, 0, 4},
    {D::kIdOverview, K::List, L"番号|実行|時刻|曜日・日付|祝日|メッセージ|音", 20, 90, 392, 166, 0, 4},
    {D::kIdOpen, K::Button, L"開く(&E)", 312, 262, 100, 26, 0, 4},
    // Always shown.
    {D::kIdTest, K::Button, L"テスト(&T)", 8, 306, 96, 28},
    OkButtonRow(170, 306, 80, 28),
    CancelButtonRow(256, 306, 80, 28),
    HelpButtonRow(D::kIdHelp, 342, 306, 82, 28),
    {D::kIdTabs, K::Tabs, L"時刻|音|ダイアログ|一覧", 8, 38, 416, 260},
};

const FormLayout kForm{.caption = L"アラーム", .width = 432, .height = 344, .controls = kRows, .helpId = D::kIdHelp};

// Today and the minute under way, as the date box and OK measure them.
SYSTEMTIME LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

Date DateOf(const SYSTEMTIME& time) { return {time.wYear, time.wMonth, time.wDay}; }

}  // namespace

AlarmSettingsDialog::AlarmSettingsDialog(SettingsHost& host, AlarmActions& actions)
    : Form(kForm),
      host_(host),
      actions_(actions),
      model_(host.settings().Alarms),
      times_(*this, TimeBoxInput::Digits,
             {{kIdHour, kMaxHour, [this] { return int{model_.entry().Hour}; }, [this](int h) { model_.SetHour(h); }},
              {kIdMinute, kMaxMinute, [this] { return int{model_.entry().Minute}; },
               [this](int m) { model_.SetMinute(m); }}}) {}

bool AlarmSettingsDialog::Run(HWND owner) {
    const bool stored = RunModal(owner) == IDOK;
    // However it closed: a test sound stops with the dialog.
    actions_.StopAllSounds();
    return stored;
}

void AlarmSettingsDialog::OnLoad() {
    times_.Load();
    Edit(kIdMessage).SetLimit(kMessageLimit);
    Edit(kIdDate).SetLimit(16);
    Edit(kIdSnoozeMinutes).SetLimit(2);
    Spin(kIdSnoozeSpin).SetRange(1, kMaxSnoozeMinutes);
    for (int option = 0; option < kSnoozeLimitOptions; ++option) Combo(kIdSnoozeLimit).Add(SnoozeLimitText(option));
    Enable(kIdBack, false);
    model_.ShowAlarm(*this);
    ShowAlarm();
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdEnable)), TRUE);
}

void AlarmSettingsDialog::ShowAlarm() {
    const AlarmEntry& e = model_.entry();
    SetWindowTextW(hwnd(), AlarmTitle(model_.index()).c_str());
    Check(kIdEnable).SetChecked(e.Enabled);
    times_.ShowAll();
    Edit(kIdMessage).SetText(e.Message);
    const WeekdayChecks days = ChecksOfWeekdays(e.Weekdays);
    for (int i = 0; i < kWeekdayCount; ++i) Check(kIdWeek + i).SetChecked(days[static_cast<std::size_t>(i)]);
    ShowSchedule();
    ShowSoundPanel();
    Options(kIdPosition, kDialogPositionOptions).Select(DialogPositionOption(e.DialogPosition));
    ShowAlarmIcon();
    ShowSnooze();
    Enable(kIdBack, model_.CanGoBack());
    Enable(kIdNext, model_.CanGoNext());
}

void AlarmSettingsDialog::ShowSchedule() {
    const AlarmEntry& e = model_.entry();
    const bool oneOff = e.OneOffDate != 0;
    Options(kIdSchedule, 2).Select(oneOff ? 1 : 0);
    // A weekly alarm's box keeps what was typed last: choosing a date again brings it back.
    if (oneOff || !Edit(kIdDate).Text().empty()) Edit(kIdDate).SetText(DateText(e.OneOffDate));
    Check(kIdSkipHolidays).SetChecked(e.SkipHolidays);
    Enable(kIdDate, oneOff);
    for (int i = 0; i < kWeekdayCount; ++i) Enable(kIdWeek + i, !oneOff);
    Enable(kIdSkipHolidays, !oneOff);
}

void AlarmSettingsDialog::ChooseSchedule(bool onDate) {
    std::uint32_t date = 0;
    if (onDate) {
        const SYSTEMTIME now = LocalNow();
        date = ParseDateText(Edit(kIdDate).Text())
                   .value_or(FirstOneOffDate(model_.entry(), DateOf(now), now.wHour, now.wMinute));
        Edit(kIdDate).SetText(DateText(date));
    }
    model_.SetOneOffDate(date);
    ShowSchedule();
}

void AlarmSettingsDialog::ShowSnooze() {
    const AlarmEntry& e = model_.entry();
    Combo(kIdSnoozeLimit).Select(SnoozeLimitOption(e.SnoozeLimit));
    Spin(kIdSnoozeSpin).SetValue(e.SnoozeMinutes);
    Edit(kIdSnoozeMinutes).SetText(std::to_wstring(e.SnoozeMinutes));
    const bool on = e.SnoozeLimit != kSnoozeOff;
    for (int id : {kIdSnoozeMinutes, kIdSnoozeSpin, kIdSnoozeUnit}) Enable(id, on);
}

void AlarmSettingsDialog::ShowOverview() {
    model_.CaptureAlarm(Check(kIdEnable).Checked(), Weekdays());
    std::vector<std::vector<std::wstring>> lines;
    for (int i = 0; i < kAlarmCount; ++i) {
        const OverviewLine line = OverviewLineOf(i, model_.working()[static_cast<std::size_t>(i)]);
        lines.emplace_back(line.begin(), line.end());
    }
    const ListView list = List(kIdOverview);
    list.SetLines(lines);
    list.FitColumns();
    if (list.Selected() < 0) list.Select(model_.index());
}

void AlarmSettingsDialog::OpenAlarm(int index) {
    model_.Open(index, Check(kIdEnable).Checked(), Weekdays(), *this);
    ShowAlarm();
    ShowPage(1);
}

void AlarmSettingsDialog::OpenChosen() {
    const int chosen = List(kIdOverview).Selected();
    if (chosen < 0 || !TakePendingEdits()) return;
    OpenAlarm(chosen);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdEnable)), TRUE);
}

bool AlarmSettingsDialog::RefusePastDates() {
    const SYSTEMTIME now = LocalNow();
    const Date today = DateOf(now);
    for (int i = 0; i < kAlarmCount; ++i) {
        if (!OneOffInPast(model_.working()[static_cast<std::size_t>(i)], today, now.wHour, now.wMinute)) continue;
        OpenAlarm(i);
        MessageBoxW(hwnd(), PastDateMessage(i).c_str(), kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdDate)), TRUE);
        return false;
    }
    return true;
}

void AlarmSettingsDialog::ShowSoundPanel() {
    const SoundPanel& s = model_.sound();
    Options(kIdKind, kSoundKindOptions).Select(s.option);
    SetText(kIdGuide, s.guide);
    Enable(kIdGuide, s.guideEnabled);
    // The box is written only when its text differs: the caret stays where the user types.
    if (Edit(kIdSoundFile).Text() != s.fileText) Edit(kIdSoundFile).SetText(s.fileText);
    SetText(kIdSoundOption, s.optionCaption);
    Check(kIdSoundOption).SetChecked(s.optionChecked);
    Enable(kIdSoundOption, s.optionEnabled);
    const Slider slider = SliderAt(kIdTrack);
    slider.SetRange(0, s.sliderMaximum);
    if (slider.Value() != s.sliderPosition) slider.SetValue(s.sliderPosition);
    Enable(kIdTrack, s.sliderEnabled);
    SetText(kIdReadout, s.readout);
    // The kind's controls; they show while the sound tab is up.
    Show(kIdSoundFile, s.fileVisible);
    Show(kIdBrowse, s.fileVisible);
    Show(kIdSoundOption, s.optionVisible);
    Show(kIdTrack, s.trackVisible);
    Show(kIdReadout, s.trackVisible);
}

void AlarmSettingsDialog::ShowAlarmIcon() {
    const AlarmEntry& e = model_.entry();
    const int size = ScaleToDpi(32, dpi());
    if (e.IconFile.empty()) {
        // The program's own icon, from its resource at this size where it came from one.
        HICON own = actions_.ProgramIcon();
        HICON sized = own ? static_cast<HICON>(CopyImage(own, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)) : nullptr;
        if (sized) {
            SetPicture(kIdIcon, sized, true);
        } else {
            SetPicture(kIdIcon, own, false);
        }
        return;
    }
    // A file without that icon leaves the preview empty, without a message.
    SetPicture(kIdIcon, ExtractIconAtSize(e.IconFile, e.IconIndex, size), true);
}

WeekdayChecks AlarmSettingsDialog::Weekdays() const {
    WeekdayChecks days{};
    for (int i = 0; i < kWeekdayCount; ++i) days[static_cast<std::size_t>(i)] = Check(kIdWeek + i).Checked();
    return days;
}

std::uint32_t AlarmSettingsDialog::CountTracks(std::wstring& reply) {
    const BusyPointer busy;
    const std::uint32_t result = actions_.SendMciCommand(L"status cdaudio number of tracks", &reply);
    return result;
}

void AlarmSettingsDialog::ReportError() { actions_.ReportMciError(hwnd()); }

void AlarmSettingsDialog::OnClick(int id) {
    if (id >= kIdKind && id < kIdKind + kSoundKindOptions) {
        model_.ChooseSoundKind(id - kIdKind, *this);
        ShowSoundPanel();
    } else if (id >= kIdPosition && id < kIdPosition + kDialogPositionOptions) {
        model_.SetDialogPosition(id - kIdPosition);
    } else if (id == kIdSoundOption) {
        model_.SetSoundOption(Check(kIdSoundOption).Checked());
        ShowSoundPanel();
    } else if (id == kIdBack || id == kIdNext) {
        Turn(id == kIdNext);
    } else if (id == kIdBrowse) {
        Browse();
    } else if (id == kIdModifyIcon) {
        ModifyIcon();
    } else if (id == kIdTest) {
        Test();
    } else if (id == kIdHelp) {
        ShowHelpTopic(hwnd(), host_.system(), kHelpContext);
    } else if (id == kIdSchedule || id == kIdSchedule + 1) {
        ChooseSchedule(id == kIdSchedule + 1);
    } else if (id == kIdSkipHolidays) {
        model_.SetSkipHolidays(Check(kIdSkipHolidays).Checked());
    } else if (id == kIdOpen || id == kIdOverview) {
        OpenChosen();
    } else if (id == kIdEnable && Page() == kOverviewPage) {
        ShowOverview();
    }
}

void AlarmSettingsDialog::OnValueChanged(int id) {
    times_.ValueChanged(id);
    if (id == kIdTrack) {
        model_.MoveTrackSlider(SliderAt(kIdTrack).Value());
        ShowSoundPanel();
    } else if (id == kIdMessage) {
        // Taken as typed: a click elsewhere (another sound kind, the next page) cannot
        // overtake the box's text on its way into the alarm.
        model_.SetMessage(Edit(kIdMessage).Text());
    } else if (id == kIdSoundFile) {
        model_.StoreSoundFileText(Edit(kIdSoundFile).Text());
    } else if (id == kIdTabs) {
        ShowSoundPanel();
        if (Page() == kOverviewPage) ShowOverview();
    } else if (id == kIdSnoozeSpin) {
        model_.SetSnoozeMinutes(Spin(kIdSnoozeSpin).Value());
        Edit(kIdSnoozeMinutes).SetText(std::to_wstring(model_.entry().SnoozeMinutes));
    } else if (id == kIdSnoozeLimit) {
        model_.SetSnoozeLimit(SnoozeLimitOfOption(Combo(kIdSnoozeLimit).Selected()));
        ShowSnooze();
    }
}

bool AlarmSettingsDialog::OnValidate(int id) {
    if (id == kIdDate) {
        const std::optional<std::uint32_t> date = ParseDateText(Edit(kIdDate).Text());
        if (!date) return false;
        model_.SetOneOffDate(*date);
        Edit(kIdDate).SetText(DateText(*date));
        return true;
    }
    if (id == kIdSnoozeMinutes) {
        const std::optional<int> minutes = ReadTimeField(Edit(id).Text(), kMaxSnoozeMinutes);
        if (!minutes || *minutes < 1) return false;
        model_.SetSnoozeMinutes(*minutes);
        ShowSnooze();
        return true;
    }
    return times_.Validate(id);
}

void AlarmSettingsDialog::Turn(bool next) {
    if (!TakePendingEdits()) return;
    HWND pressed = Item(next ? kIdNext : kIdBack);
    const bool hadFocus = GetFocus() == pressed;
    if (next) {
        model_.Next(Check(kIdEnable).Checked(), Weekdays(), *this);
    } else {
        model_.Back(Check(kIdEnable).Checked(), Weekdays(), *this);
    }
    ShowAlarm();
    // A button that has just been disabled loses the focus: its partner takes it.
    if (hadFocus && !IsWindowEnabled(pressed))
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(next ? kIdBack : kIdNext)), TRUE);
}

void AlarmSettingsDialog::Browse() {
    const std::wstring chosen = ShowOpenFileDialog(hwnd(), SoundFileFilter(model_.entry().SoundKind));
    if (!chosen.empty()) Edit(kIdSoundFile).SetText(chosen);
    // Cancelled too: the box's text is stored again.
    model_.StoreSoundFileText(Edit(kIdSoundFile).Text());
}

void AlarmSettingsDialog::ModifyIcon() {
    const BusyPointer busy;
    const AlarmEntry& e = model_.entry();
    IconChooser chooser(host_.system().SystemDirectory, {e.IconFile, e.IconIndex, false});
    const IconChoice choice = chooser.Run(hwnd());
    if (choice.accepted) {
        model_.SetIcon(choice.file, choice.index);
        ShowAlarmIcon();
    }
}

void AlarmSettingsDialog::Test() {
    // The notification is modal to this dialog: it waits until the notice is confirmed.
    AlarmEntry& alarm = model_.TestEntry();
    actions_.FireAlarm(alarm, true, hwnd());
    // Firing trims the message of the working copy; the box shows what is kept.
    if (Edit(kIdMessage).Text() != alarm.Message) Edit(kIdMessage).SetText(alarm.Message);
}

bool AlarmSettingsDialog::OnOk() {
    // Enter on the overview opens the chosen alarm; OK itself is a click away.
    if (Page() == kOverviewPage && GetFocus() == Item(kIdOverview)) {
        OpenChosen();
        return false;
    }
    model_.CaptureAlarm(Check(kIdEnable).Checked(), Weekdays());
    if (!RefusePastDates()) return false;
    // The alarms count only once they are stored; a failed save leaves the dialog open.
    Settings chosen = host_.settings();
    model_.Commit(chosen);
    if (SettingsStore* store = host_.store(); store && !SaveAlarmSettings(*store, chosen)) {
        MessageBoxW(hwnd(), SaveFailureText(L"アラーム", true).c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    model_.Commit(host_.settings());
    return true;
}

}  // namespace hv
