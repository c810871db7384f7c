// frmAlarmDlg: the notice that an alarm went off. One window at a time: a later alarm
// updates the open one (message and icon, not the caption). OK silences every sound.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "util/window_win.h"

namespace hv {

class AlarmDialog : public Window {
public:
    // `onOk` runs when the user confirms (OK, Enter, Escape or the close box).
    explicit AlarmDialog(std::function<void()> onOk) : onOk_(std::move(onOk)) {}
    ~AlarmDialog() override;

    // Creates the window hidden, with its caption from the time now, topmost; does
    // nothing while it is open. False when the window cannot be created.
    bool Load();
    bool IsOpen() const { return hwnd() != nullptr; }

    void SetMessage(const std::wstring& text);
    // Shows `icon`; the dialog destroys it when it is replaced or the window closes,
    // unless `owned` is false (the program's own icon).
    void SetIcon(HICON icon, bool owned);
    // Shows the window; when `modal`, returns only after it has closed, the program's
    // other windows disabled meanwhile.
    void Show(bool modal);

    std::wstring MessageText() const;
    HICON ShownIcon() const { return icon_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    void CreateControls();
    void Confirm();
    void ReleaseIcon();
    int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }

    std::function<void()> onOk_;
    HWND iconBox_ = nullptr;
    HWND message_ = nullptr;
    HWND ok_ = nullptr;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    bool iconOwned_ = false;
    int dpi_ = 96;
};

}  // namespace hv
