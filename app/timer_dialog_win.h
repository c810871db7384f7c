// "タイマー": the length of a timer in minutes, for the notification-area menu's
// "時間を指定...".
#pragma once

#include <windows.h>

#include "util/form_win.h"

namespace hv {

class TimerDialog : public Form {
public:
    static constexpr int kIdMinutesLabel = 100;
    static constexpr int kIdMinutes = 101;
    static constexpr int kIdMinutesSpin = 102;
    static constexpr int kIdUnit = 103;
    static constexpr int kMaxMinutes = 24 * 60;

    // `minutes`: what the box shows first.
    explicit TimerDialog(int minutes);
    // Modal to `owner`; the minutes chosen, or 0 when cancelled.
    int Run(HWND owner) { return RunModal(owner) == IDOK ? minutes_ : 0; }

protected:
    void OnLoad() override;
    void OnValueChanged(int id) override;
    bool OnValidate(int id) override;

private:
    int minutes_;
};

}  // namespace hv
