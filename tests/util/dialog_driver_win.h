// Drives a modal dialog from a helper thread: waits until the test thread shows a dialog,
// then runs an action on it (read its controls, press its buttons).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace hvtest {

inline std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Presses a dialog's button the way a click does.
inline void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class DialogDriver {
public:
    // Waits up to 10 s for a visible dialog (class #32770) of the calling thread; `action`
    // runs on the helper thread once it shows.
    explicit DialogDriver(std::function<void(HWND)> action)
        : threadId_(GetCurrentThreadId()), thread_([this, action] {
              for (int waited = 0; !dialog_ && waited < 10000; waited += 20) {
                  EnumThreadWindows(threadId_, [](HWND hwnd, LPARAM found) -> BOOL {
                      wchar_t cls[16] = {};
                      GetClassNameW(hwnd, cls, 16);
                      if (!IsWindowVisible(hwnd) || std::wstring(cls) != L"#32770") return TRUE;
                      *reinterpret_cast<HWND*>(found) = hwnd;
                      return FALSE;
                  }, reinterpret_cast<LPARAM>(&dialog_));
                  if (!dialog_) Sleep(20);
              }
              if (dialog_) action(dialog_);
          }) {}
    ~DialogDriver() { Join(); }
    void Join() { thread_.joinable() ? thread_.join() : void(); }
    bool found() const { return dialog_ != nullptr; }

private:
    DWORD threadId_;
    HWND dialog_ = nullptr;
    std::thread thread_;
};

}  // namespace hvtest
