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
    explicit MessageBoxCatcher(int answer = IDOK) : answer_(answer) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
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
        if (code == HCBT_ACTIVATE && current_) current_->Catch(reinterpret_cast<HWND>(wp));
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static BOOL CALLBACK Child(HWND child, LPARAM p) {
        auto* box = reinterpret_cast<CaughtBox*>(p);
        wchar_t cls[32] = {}, text[512] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") != 0) return TRUE;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            box->errorIcon = icon && icon == LoadIconW(nullptr, IDI_ERROR);
        } else if (GetWindowTextW(child, text, 512) > 0) {
            box->text = text;
        }
        return TRUE;
    }
    void Catch(HWND window) {
        wchar_t cls[32] = {}, caption[256] = {};
        GetClassNameW(window, cls, 32);
        if (lstrcmpW(cls, L"#32770") != 0 || window == last_) return;  // activated again: already caught
        last_ = window;
        CaughtBox box;
        GetWindowTextW(window, caption, 256);
        box.caption = caption;
        box.owner = GetWindow(window, GW_OWNER);
        EnumChildWindows(window, Child, reinterpret_cast<LPARAM>(&box));
        boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, answer_, 0);
    }
    static inline MessageBoxCatcher* current_ = nullptr;
    int answer_;
    HHOOK hook_ = nullptr;
    HWND last_ = nullptr;
};

}  // namespace hvtest
