// The one way tests drive the program's dialogs and message boxes. A modal dialog runs
// its own loop on the test thread, so a DialogScript acts on it from a helper thread the
// way a user would: keys and clicks are posted (through the dialog's keyboard handling),
// then Sync waits until the dialog has dealt with them. Message boxes on the test thread
// are answered by a MessageBoxCatcher (tests/support/message_box_catcher_win.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace hvtest {

inline std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A visible dialog (class #32770) of `threadId` with `caption` (any caption when null);
// waits up to `timeoutMs`; null when none showed.
inline HWND FindDialog(DWORD threadId, const wchar_t* caption = nullptr, int timeoutMs = 10000) {
    struct Search {
        const wchar_t* caption;
        HWND found;
    } search{caption, nullptr};
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        EnumThreadWindows(threadId, [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (!IsWindowVisible(hwnd) || std::wstring(cls) != L"#32770") return TRUE;
            if (s->caption && WindowText(hwnd) != s->caption) return TRUE;
            s->found = hwnd;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(20);
    }
    return nullptr;
}

// The dialog's control whose caption is `caption` exactly (with its "&"); null if none.
inline HWND Control(HWND dialog, const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumChildWindows(dialog, [](HWND hwnd, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (WindowText(hwnd) != *s->caption) return TRUE;
        s->found = hwnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The control that has the keyboard focus in `window`'s thread.
inline HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Whether the box's whole text is selected (as a refused entry leaves it).
inline bool WholeTextSelected(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(box));
}

// Acts on one dialog from another thread.
class Driver {
public:
    explicit Driver(HWND dialog)
        : dialog_(dialog),
          hook_(SetWindowsHookExW(WH_GETMESSAGE, SeeMarker, nullptr, GetWindowThreadProcessId(dialog, nullptr))) {}
    ~Driver() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    HWND dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    // Waits until the dialog's thread has handled what was posted to it so far, and what
    // that posted in turn (a text box's check after it lost the focus): a marker posted
    // behind them is seen taken from the queue, three times over.
    void Sync() const {
        for (int round = 0; round < 3 && IsWindow(dialog_); ++round) {
            const long marker = ++lastMarker_;
            PostMessageW(dialog_, kMarker, static_cast<WPARAM>(marker), 0);
            for (int waited = 0; seenMarker_ < marker && waited < 5000 && IsWindow(dialog_); waited += 2) Sleep(2);
        }
        DWORD_PTR ignored;
        SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
    // A click on a button, check box or option.
    void Click(HWND control) const {
        PostMessageW(control, BM_CLICK, 0, 0);
        Sync();
    }
    void Click(int id) const { Click(Item(id)); }
    // A key pressed with the focus where it is (Tab, Enter, Esc, arrows, F1).
    void Key(UINT vk) const {
        HWND target = Focus(dialog_) ? Focus(dialog_) : dialog_;
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
        Sync();
    }
    // Ctrl+`vk` (or Ctrl+Shift+`vk`) as the dialog's thread sees it: the key state is the
    // thread's own, shared with the driver's thread while the key goes in.
    void ControlKey(UINT vk, bool shift = false) const {
        const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
        AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] |= 0x80;
        if (shift) keys[VK_SHIFT] |= 0x80;
        SetKeyboardState(keys);
        Key(vk);
        keys[VK_CONTROL] &= 0x7F;
        keys[VK_SHIFT] &= 0x7F;
        SetKeyboardState(keys);
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    }
    // Alt and the access key `letter`.
    void AccessKey(wchar_t letter) const {
        HWND target = Focus(dialog_) ? Focus(dialog_) : dialog_;
        PostMessageW(target, WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001);
        Sync();
    }
    // Puts the focus in the box and types `text` over its whole content, key by key. The
    // dialog's own thread queues the keys, all at once: a timer of the dialog (which comes only
    // when its queue is empty) never falls between two of them, however late this thread runs.
    // `typed` runs on the dialog's thread once it has handled the last key, before any timer.
    void Type(HWND box, const std::wstring& text, std::function<void()> typed = nullptr) const {
        PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
        PostMessageW(box, EM_SETSEL, 0, -1);
        PostMessageW(dialog_, kKeys, 0, reinterpret_cast<LPARAM>(new Keys{box, text, std::move(typed)}));
        Sync();
    }
    void Type(int id, const std::wstring& text, std::function<void()> typed = nullptr) const {
        Type(Item(id), text, std::move(typed));
    }

    // Syncs until `condition` holds (half a minute at most): for what the dialog does on a
    // timer of its own. Whether it held.
    bool SyncUntil(const std::function<bool()>& condition) const {
        for (const ULONGLONG end = GetTickCount64() + 30000; GetTickCount64() < end; Sleep(20)) {
            Sync();
            if (condition()) return true;
        }
        return false;
    }

    // What a control shows now.
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int SpinValue(int id) const { return static_cast<int>(SendMessageW(Item(id), UDM_GETPOS32, 0, 0)); }
    int SliderValue(int id) const { return static_cast<int>(SendMessageW(Item(id), TBM_GETPOS, 0, 0)); }

    // The controls Tab never reaches: every visible, enabled control that is a tab stop,
    // and every option (an option counts as reached when another of its group is: the
    // arrow keys move within a group). Presses Tab round the whole dialog and stops where
    // it started.
    std::vector<std::wstring> NotReachedByTab() const {
        std::vector<HWND> reached;
        for (int i = 0; i < 200; ++i) {
            HWND focus = Focus(dialog_);
            if (!reached.empty() && focus == reached.front()) break;
            reached.push_back(focus);
            Key(VK_TAB);
        }
        auto wasReached = [&](HWND control) {
            for (HWND r : reached)
                if (r == control || IsChild(control, r)) return true;
            return false;
        };
        std::vector<std::wstring> missed;
        for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const bool option = SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON;
            const bool stop = GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP;
            if (!IsWindowVisible(child) || !IsWindowEnabled(child) || !(stop || option)) continue;
            bool ok = wasReached(child);
            for (HWND other = child; option && !ok;) {
                other = GetNextDlgGroupItem(dialog_, other, FALSE);
                if (!other || other == child) break;
                ok = wasReached(other);
            }
            if (!ok) missed.push_back(WindowText(child));
        }
        return missed;
    }

private:
    static constexpr UINT kMarker = WM_APP + 0x3A5, kKeys = kMarker + 1, kTyped = kMarker + 2;
    struct Keys {
        HWND box;
        std::wstring text;
        std::function<void()> typed;
    };
    // Every driver of the thread has its hook here: the keys are taken out of the message once
    // queued, so that only the first hook queues them.
    static LRESULT CALLBACK SeeMarker(int code, WPARAM wp, LPARAM lp) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (code != HC_ACTION || wp != PM_REMOVE) return CallNextHookEx(nullptr, code, wp, lp);
        if (msg->message == kMarker) seenMarker_ = static_cast<long>(msg->wParam);
        if (msg->message == kKeys || msg->message == kTyped) {
            std::unique_ptr<Keys> keys(reinterpret_cast<Keys*>(std::exchange(msg->lParam, 0)));
            if (keys && msg->message == kTyped) keys->typed();
            if (keys && msg->message == kKeys) {
                for (wchar_t c : keys->text) PostMessageW(keys->box, WM_CHAR, c, 1);
                if (keys->typed) PostMessageW(msg->hwnd, kTyped, 0, reinterpret_cast<LPARAM>(keys.release()));
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline std::atomic<long> seenMarker_{0};
    static inline std::atomic<long> lastMarker_{0};
    HWND dialog_;
    HHOOK hook_;
};

// Runs `script` on a helper thread once the calling thread shows a dialog (with
// `caption`, when given); joins when destroyed. `found` tells whether one showed.
class DialogScript {
public:
    explicit DialogScript(std::function<void(Driver&)> script, const wchar_t* caption = nullptr)
        : threadId_(GetCurrentThreadId()), thread_([this, script, caption] {
              if (HWND dialog = FindDialog(threadId_, caption)) {
                  found_ = true;
                  Driver driver(dialog);
                  script(driver);
              }
          }) {}
    ~DialogScript() { Join(); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool found() const { return found_; }

private:
    DWORD threadId_;
    bool found_ = false;
    std::thread thread_;
};

}  // namespace hvtest
