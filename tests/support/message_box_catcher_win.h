// Catches the message boxes that code under test shows on this thread: a CBT hook records
// each box's caption, text, owner and icon as it activates, then answers it with the
// given button, so a test needs no second thread and no window search.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hvtest {

struct CaughtBox {
    std::wstring caption, text;
    HWND owner = nullptr;
    bool errorIcon = false;
};

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int answer = IDOK)
        : answer_(answer), hook_(SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~MessageBoxCatcher() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<CaughtBox> boxes;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        HWND box = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        // A message box is a dialog whose text has the id 0xFFFF; the program's own dialogs are left alone.
        if (code == HCBT_ACTIVATE && current_ && box != current_->last_ && GetClassNameW(box, cls, 16) &&
            lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(box, 0xFFFF))
            current_->Catch(box);
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    void Catch(HWND window) {
        last_ = window;  // a box activated again is caught once
        CaughtBox box;
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        box.caption = caption;
        box.owner = GetWindow(window, GW_OWNER);
        EnumChildWindows(window, [](HWND child, LPARAM p) -> BOOL {
            auto* box = reinterpret_cast<CaughtBox*>(p);
            wchar_t cls[16] = {}, text[512] = {};
            if (!GetClassNameW(child, cls, 16) || lstrcmpiW(cls, L"Static") != 0) return TRUE;
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                box->errorIcon = SendMessageW(child, STM_GETICON, 0, 0) == LRESULT(LoadIconW(nullptr, IDI_ERROR));
            else if (GetWindowTextW(child, text, 512) > 0)
                box->text = text;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&box));
        boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, answer_, 0);
    }
    static inline MessageBoxCatcher* current_ = nullptr;
    int answer_;
    HHOOK hook_;
    HWND last_ = nullptr;
};

}  // namespace hvtest
