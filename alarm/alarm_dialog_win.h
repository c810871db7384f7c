// frmAlarmDlg: the notice that an alarm went off. One window at a time: a later alarm
// updates the open one (message and icon, not the caption). OK silences every sound.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "settings/settings.h"
#include "util/form_win.h"

namespace hv {

struct AlarmNotice {
    std::wstring message;
    HICON icon = nullptr;
    bool iconOwned = false;  // destroyed by the dialog when replaced or closed
    hv::DialogPosition position = hv::DialogPosition::ScreenCentre;
    int snoozeMinutes = 0;  // the snooze button's length; 0: no snooze button
};

// The snooze button's caption, "スヌーズ 5分(&S)".
std::wstring SnoozeCaption(int minutes);

class AlarmDialog : public Form {
public:
    static constexpr int kIdMessage = 101;  // lblMessage
    static constexpr int kIdIcon = 102;     // picIcon
    static constexpr int kIdSnooze = 103;

    // `onConfirm` runs when the user confirms (OK, Enter, Esc or the close box), `onSnooze`
    // when the user snoozes (the snooze button); the notice closes after either.
    AlarmDialog(std::function<void()> onConfirm, std::function<void()> onSnooze = {});

    bool IsOpen() const { return hwnd() != nullptr; }
    // Opens the notice with its caption from the time now, topmost, at its position. A
    // modeless notice returns at once; a modal one when confirmed, `owner` disabled
    // meanwhile. False when the window cannot be made.
    bool Open(AlarmNotice notice, bool modal, HWND owner);
    // A later alarm while the notice is open: its message, icon and position.
    void Update(AlarmNotice notice);
    // Closes the notice without confirming it (the sounds play on).
    void Dismiss();

    std::wstring MessageText() const;
    HICON ShownIcon() const { return Picture(kIdIcon); }

protected:
    void OnLoad() override;
    bool OnOk() override;
    void OnCancel() override;
    void OnClick(int id) override;

private:
    void ShowNotice();

    std::function<void()> onConfirm_;
    std::function<void()> onSnooze_;
    AlarmNotice notice_;
};

}  // namespace hv
