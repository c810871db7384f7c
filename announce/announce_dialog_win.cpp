#include "announce/announce_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "hvplus/program_identity.h"
#include "settings/settings_io.h"
#include "util/help_win.h"
#include "util/hotkey_text.h"

namespace hv {

namespace {

constexpr wchar_t kPlayFailed[] = L"再生中にエラーが発生しました";
constexpr wchar_t kQuietRangeEmpty[] =
    L"発声しない時間帯の開始と終了が同じ時刻です。\n終了の時刻を変えるか、「次の時間帯」のチェックを外してください。";
constexpr wchar_t kHotkeyRefused[] =
    L" は他のプログラムが使用しているため、ホットキーにできません。\n別のキーを選ぶか、「なし」にしてください。";

using D = AnnounceDialog;
using K = ControlKind;

// Table order is Tab order: each frame before the controls it holds, each label before
// the control its access key reaches.
constexpr ControlRow kRows[] = {
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
    {D::kIdQuietFrame, K::Frame, L"発声しないとき", 8, 180, 364, 98},
    {D::kIdQuiet, K::CheckBox, L"次の時間帯(&N):", 20, 200, 200, 18},
    {D::kIdQuietFromHour, K::Edit, L"0", 40, 222, 34, 23, ES_RIGHT},
    {D::kIdQuietFromHour + 1, K::Spinner, nullptr, 74, 222, 17, 23},
    {D::kIdQuietFromHour + 2, K::Label, L":", 94, 226, 8, 18, SS_CENTER},
    {D::kIdQuietFromMinute, K::Edit, L"0", 104, 222, 34, 23, ES_RIGHT},
    {D::kIdQuietFromMinute + 1, K::Spinner, nullptr, 138, 222, 17, 23},
    {D::kIdQuietFromMinute + 2, K::Label, L"から", 160, 226, 32, 18},
    {D::kIdQuietToHour, K::Edit, L"0", 196, 222, 34, 23, ES_RIGHT},
    {D::kIdQuietToHour + 1, K::Spinner, nullptr, 230, 222, 17, 23},
    {D::kIdQuietToHour + 2, K::Label, L":", 250, 226, 8, 18, SS_CENTER},
    {D::kIdQuietToMinute, K::Edit, L"0", 260, 222, 34, 23, ES_RIGHT},
    {D::kIdQuietToMinute + 1, K::Spinner, nullptr, 294, 222, 17, 23},
    {D::kIdQuietToMinute + 2, K::Label, L"まで", 316, 226, 40, 18},
    {D::kIdQuietOnFocus, K::CheckBox, L"全画面表示・プレゼンテーション・応答不可のとき(&F)", 20, 252, 340, 18, 0, 0,
     L"全画面のゲームや動画、プレゼンテーションの間と、Windows の応答不可がオンの間は時刻を読み上げません"},
    {D::kIdHotkeyLabel, K::Label, L"読み上げのホットキー(&Y):", 12, 292, 150, 18},
    {D::kIdHotkey, K::Hotkey, nullptr, 164, 288, 124, 23, 0, 0,
     L"どのプログラムを使っているときでも、このキーで今の時刻を読み上げます"},
    {D::kIdHotkeyClear, K::Button, L"なし(&E)", 292, 287, 80, 26},
    OkButtonRow(120, 326, 80, 26),
    CancelButtonRow(206, 326, 80, 26),
    HelpButtonRow(D::kIdHelp, 292, 326, 80, 26),
};

const FormLayout kForm{.caption = L"発声方法", .width = 380, .height = 360, .controls = kRows, .helpId = D::kIdHelp};

// Every hour and minute box and the working copy it stands for.
struct TimeValue {
    int editId;
    int maximum;
    int AnnounceChoices::*value;
    const wchar_t* part = nullptr;  // read after the frame's name
};
constexpr TimeValue kTimeValues[] = {
    {D::kIdHour, kMaxHour, &AnnounceChoices::hour},
    {D::kIdMinute, kMaxMinute, &AnnounceChoices::minute},
    {D::kIdQuietFromHour, kMaxHour, &AnnounceChoices::quietFromHour, L"開始"},
    {D::kIdQuietFromMinute, kMaxMinute, &AnnounceChoices::quietFromMinute, L"開始"},
    {D::kIdQuietToHour, kMaxHour, &AnnounceChoices::quietToHour, L"終了"},
    {D::kIdQuietToMinute, kMaxMinute, &AnnounceChoices::quietToMinute, L"終了"},
};

std::vector<TimeBox> TimeBoxesOf(AnnounceChoices& working) {
    std::vector<TimeBox> boxes;
    for (const TimeValue& t : kTimeValues) {
        boxes.push_back({t.editId, t.maximum, [&working, t] { return working.*t.value; },
                         [&working, t](int value) { working.*t.value = value; }, t.part});
    }
    return boxes;
}

}  // namespace

AnnounceDialog::AnnounceDialog(SettingsHost& host)
    : Form(kForm),
      host_(host),
      working_(ChoicesFrom(host.settings())),
      times_(*this, TimeBoxInput::Number, TimeBoxesOf(working_)) {}

void AnnounceDialog::OnLoad() {
    times_.Load();
    SelectTiming(working_.timing);
    SliderAt(kIdSpeed).SetRange(0, kMaxTalkSpeed);
    SliderAt(kIdSpeed).SetValue(std::clamp(working_.speed, 0, kMaxTalkSpeed));
    Options(kIdClock, 2).Select(working_.clock24 ? 1 : 0);
    Check(kIdQuiet).SetChecked(working_.quiet);
    EnableQuietTimes();
    Check(kIdQuietOnFocus).SetChecked(working_.quietOnFocus);
    // A key without Ctrl or Alt would be taken from every program: Ctrl+Alt is added to it.
    SendMessageW(Item(kIdHotkey), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    Hotkey(kIdHotkey).SetValue(static_cast<std::uint16_t>(working_.hotkey));
}

void AnnounceDialog::SelectTiming(int timing) {
    // A stored timing no option stands for shows none selected and is kept until one is.
    Options(kIdTiming, kTimingOptionCount).Select(TimingOption(timing));
    for (int id : {kIdHour, kIdHourSpin, kIdMinute, kIdMinuteSpin}) Enable(id, FixedTimeEnabled(timing));
}

void AnnounceDialog::EnableQuietTimes() {
    for (int id = kIdQuietFromHour; id <= kIdQuietToMinute + 2; ++id) Enable(id, working_.quiet);
}

void AnnounceDialog::OnClick(int id) {
    if (id >= kIdTiming && id < kIdTiming + kTimingOptionCount) {
        working_.timing = id - kIdTiming;
        SelectTiming(working_.timing);
    } else if (id == kIdClock || id == kIdClock + 1) {
        working_.clock24 = id == kIdClock + 1;
    } else if (id == kIdQuiet) {
        working_.quiet = Check(kIdQuiet).Checked();
        EnableQuietTimes();
    } else if (id == kIdQuietOnFocus) {
        working_.quietOnFocus = Check(kIdQuietOnFocus).Checked();
    } else if (id == kIdHotkeyClear) {
        working_.hotkey = 0;
        Hotkey(kIdHotkey).SetValue(0);
    } else if (id == kIdPlay) {
        PlayTest();
    } else if (id == kIdHelp) {
        ShowHelpTopic(hwnd(), host_.system(), kHelpContext);
    }
}

void AnnounceDialog::OnValueChanged(int id) {
    if (id == kIdHotkey) {
        working_.hotkey = Hotkey(kIdHotkey).Value();
    } else if (id == kIdSpeed) {
        working_.speed = SliderAt(kIdSpeed).Value();
    } else {
        times_.ValueChanged(id);
    }
}

bool AnnounceDialog::OnValidate(int id) { return times_.Validate(id); }

bool AnnounceDialog::OnOk() {
    if (QuietRangeEmpty(working_)) {
        MessageBoxW(hwnd(), kQuietRangeEmpty, kProgramTitle, MB_ICONEXCLAMATION | MB_OK);
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdQuietToHour)), TRUE);
        return false;
    }
    // A key chosen here that Windows refuses (another program holds it) is told, and the
    // dialog stays. The key as it was is only tried again: the icon's tooltip tells of it.
    const std::uint16_t before = host_.settings().TalkHotkey;
    const auto hotkey = static_cast<std::uint16_t>(working_.hotkey);
    if (!host_.SetTalkHotkey(hotkey) && hotkey != before) {
        MessageBoxW(hwnd(), (HotkeyText(hotkey) + kHotkeyRefused).c_str(), kProgramTitle, MB_ICONEXCLAMATION | MB_OK);
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdHotkey)), TRUE);
        return false;
    }
    // The choices count only once they are stored; a failed save leaves the dialog open.
    Settings chosen = host_.settings();
    ApplyChoices(working_, chosen);
    if (SettingsStore* store = host_.store(); store && !SaveAnnounceSettings(*store, chosen)) {
        host_.SetTalkHotkey(before);
        MessageBoxW(hwnd(), SaveFailureText(L"発声方法", true).c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    ApplyChoices(working_, host_.settings());
    return true;
}

void AnnounceDialog::PlayTest() {
    // Always the time now, whatever timing is chosen; the dialog waits while it speaks.
    SYSTEMTIME now;
    GetLocalTime(&now);
    bool played = false;
    {
        const BusyPointer busy;
        played = host_.SpeakTime(TimeText(now.wHour, now.wMinute), working_.clock24, working_.speed);
    }
    if (!played) MessageBoxW(hwnd(), kPlayFailed, kProgramTitle, MB_ICONERROR | MB_OK);
}

}  // namespace hv
