#include "announce/announce_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "settings/settings_io.h"
#include "util/help_win.h"

namespace hv {

namespace {

constexpr wchar_t kButtonFont[] = L"MS UI Gothic";
constexpr wchar_t kPlayFailed[] = L"再生中にエラーが発生しました";
constexpr wchar_t kAppTitle[] = L"Horavox";

using D = AnnounceDialog;
using K = ControlKind;

// Table order is Tab order: each frame before the controls it holds, each label before
// the control its access key reaches.
constexpr std::array<ControlSpec, 22> kControls{{
    {D::kIdTimingFrame, K::Frame, L"発声タイミング(&T)", 8, 6, 252, 124},
    {D::kIdTiming + 0, K::Option, L"(なし)", 20, 26, 92, 18},
    {D::kIdTiming + 1, K::Option, L"1分毎", 20, 48, 92, 18},
    {D::kIdTiming + 2, K::Option, L"10分毎", 20, 70, 92, 18},
    {D::kIdTiming + 3, K::Option, L"15分毎", 20, 92, 92, 18},
    {D::kIdTiming + 4, K::Option, L"30分毎", 124, 26, 120, 18},
    {D::kIdTiming + 5, K::Option, L"1時間毎", 124, 48, 120, 18},
    {D::kIdTiming + 6, K::Option, L"定刻(&K):", 124, 70, 120, 18},
    {D::kIdHour, K::Edit, L"0", 140, 92, 34, 23, ES_RIGHT},
    {D::kIdHourSpin, K::Spinner, nullptr, 174, 92, 17, 23},
    {D::kIdColon, K::Label, L":", 194, 96, 8, 18, SS_CENTER},
    {D::kIdMinute, K::Edit, L"0", 204, 92, 34, 23, ES_RIGHT},
    {D::kIdMinuteSpin, K::Spinner, nullptr, 238, 92, 17, 23},
    {D::kIdClockFrame, K::Frame, L"時間制(&U)", 270, 6, 102, 72},
    {D::kIdClock + 0, K::Option, L"12時間制", 282, 26, 84, 18},
    {D::kIdClock + 1, K::Option, L"24時間制", 282, 48, 84, 18},
    {D::kIdSpeedLabel, K::Label, L"スピード(&S):", 12, 146, 74, 18},
    {D::kIdSpeed, K::Slider, nullptr, 88, 140, 220, 30},
    {D::kIdPlay, K::PlayButton, L"テスト再生", 318, 140, 40, 30, 0, 0, L"テスト再生"},
    {IDOK, K::DefaultButton, L"&OK", 120, 186, 80, 26, 0, 0, nullptr, kButtonFont},
    {IDCANCEL, K::Button, L"キャンセル", 206, 186, 80, 26, 0, 0, nullptr, kButtonFont},
    {D::kIdHelp, K::Button, L"ヘルプ(&H)", 292, 186, 80, 26, 0, 0, nullptr, kButtonFont},
}};

const FormSpec kForm{L"発声方法", 380, 220, kControls, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                     D::kIdHelp};

}  // namespace

AnnounceDialog::AnnounceDialog(SettingsHost& host) : Form(kForm), host_(host), working_(ChoicesFrom(host.settings())) {}

void AnnounceDialog::OnLoad() {
    Spin(kIdHourSpin).SetRange(0, kMaxHour);
    Spin(kIdMinuteSpin).SetRange(0, kMaxMinute);
    Edit(kIdHour).SetLimit(8);
    Edit(kIdMinute).SetLimit(8);
    // A stored time beyond the boxes' ranges shows as stored and stays unless changed.
    ShowHour(working_.hour);
    ShowMinute(working_.minute);
    SelectTiming(working_.timing);
    SliderAt(kIdSpeed).SetRange(0, kMaxTalkSpeed);
    SliderAt(kIdSpeed).SetValue(std::clamp(working_.speed, 0, kMaxTalkSpeed));
    Options(kIdClock, 2).Select(working_.clock24 ? 1 : 0);
}

void AnnounceDialog::SelectTiming(int timing) {
    // A stored timing no option stands for shows none selected and is kept until one is.
    Options(kIdTiming, kTimingOptionCount).Select(TimingOption(timing));
    for (int id : {kIdHour, kIdHourSpin, kIdMinute, kIdMinuteSpin}) Enable(id, FixedTimeEnabled(timing));
}

void AnnounceDialog::ShowHour(int hour) {
    Spin(kIdHourSpin).SetValue(std::clamp(hour, 0, kMaxHour));
    Edit(kIdHour).SetText(TimeFieldText(hour));
}

void AnnounceDialog::ShowMinute(int minute) {
    Spin(kIdMinuteSpin).SetValue(std::clamp(minute, 0, kMaxMinute));
    Edit(kIdMinute).SetText(TimeFieldText(minute));
}

void AnnounceDialog::OnClick(int id) {
    if (id >= kIdTiming && id < kIdTiming + kTimingOptionCount) {
        working_.timing = id - kIdTiming;
        SelectTiming(working_.timing);
    } else if (id == kIdClock || id == kIdClock + 1) {
        working_.clock24 = id == kIdClock + 1;
    } else if (id == kIdPlay) {
        PlayTest();
    } else if (id == kIdHelp) {
        ShowHelpTopic(hwnd(), host_.system(), kHelpContext);
    }
}

void AnnounceDialog::OnValueChanged(int id) {
    if (id == kIdHourSpin) {
        working_.hour = Spin(kIdHourSpin).Value();
        Edit(kIdHour).SetText(TimeFieldText(working_.hour));
    } else if (id == kIdMinuteSpin) {
        working_.minute = Spin(kIdMinuteSpin).Value();
        Edit(kIdMinute).SetText(TimeFieldText(working_.minute));
    } else if (id == kIdSpeed) {
        working_.speed = SliderAt(kIdSpeed).Value();
    }
}

bool AnnounceDialog::OnValidate(int id) {
    const bool hour = id == kIdHour;
    const std::optional<int> value = ReadTimeField(Edit(id).Text(), hour ? kMaxHour : kMaxMinute);
    if (!value) return false;
    (hour ? working_.hour : working_.minute) = *value;
    if (hour) {
        ShowHour(*value);
    } else {
        ShowMinute(*value);
    }
    return true;
}

bool AnnounceDialog::OnOk() {
    Settings& settings = host_.settings();
    ApplyChoices(working_, settings);
    if (SettingsStore* store = host_.store()) SaveAnnounceSettings(*store, settings);
    return true;
}

void AnnounceDialog::PlayTest() {
    // Always the time now, whatever timing is chosen; the dialog waits while it speaks.
    SYSTEMTIME now;
    GetLocalTime(&now);
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool played = host_.SpeakTime(SpokenTimeText(now.wHour, now.wMinute), working_.clock24, working_.speed);
    SetCursor(previous);
    if (!played) MessageBoxW(hwnd(), kPlayFailed, kAppTitle, MB_ICONERROR | MB_OK);
}

}  // namespace hv
