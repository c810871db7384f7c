#include "app/timer_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "util/time_field.h"

namespace hv {
namespace {

using D = TimerDialog;
using K = ControlKind;

constexpr ControlRow kRows[] = {
    {D::kIdMinutesLabel, K::Label, L"タイマーの長さ(&T):", 12, 18, 120, 18},
    {D::kIdMinutes, K::Edit, L"3", 134, 14, 50, 23, ES_RIGHT},
    {D::kIdMinutesSpin, K::Spinner, nullptr, 184, 14, 17, 23},
    {D::kIdUnit, K::Label, L"分 (1～1440)", 206, 18, 90, 18},
    OkButtonRow(106, 54, 80, 26),
    CancelButtonRow(192, 54, 80, 26),
};
const FormLayout kForm{.caption = L"タイマー", .width = 284, .height = 92, .controls = kRows};

}  // namespace

TimerDialog::TimerDialog(int minutes) : Form(kForm), minutes_(std::clamp(minutes, 1, kMaxMinutes)) {}

void TimerDialog::OnLoad() {
    Spin(kIdMinutesSpin).SetRange(1, kMaxMinutes);
    Spin(kIdMinutesSpin).SetValue(minutes_);
    Edit(kIdMinutes).SetLimit(8);
    Edit(kIdMinutes).SetText(TimeFieldText(minutes_));
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdMinutes)), TRUE);
}

void TimerDialog::OnValueChanged(int id) {
    if (id != kIdMinutesSpin) return;
    minutes_ = Spin(kIdMinutesSpin).Value();
    Edit(kIdMinutes).SetText(TimeFieldText(minutes_));
}

bool TimerDialog::OnValidate(int id) {
    if (id != kIdMinutes) return true;
    // The time boxes' rule, from one minute to a day.
    const auto value = ReadTimeField(Edit(kIdMinutes).Text(), kMaxMinutes);
    if (!value || *value < 1) return false;
    minutes_ = *value;
    Spin(kIdMinutesSpin).SetValue(minutes_);
    Edit(kIdMinutes).SetText(TimeFieldText(minutes_));
    return true;
}

}  // namespace hv
