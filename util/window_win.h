// Base classes for the program's windows and dialogs: one C++ object per window, the
// static procedure finds it in GWLP_USERDATA and forwards to a virtual handler.
#pragma once

#include <windows.h>

namespace hv {

// The hourglass for the length of a scope (work the user waits for), then the pointer as
// it was.
class BusyPointer {
public:
    explicit BusyPointer(bool on = true) : on_(on), previous_(on ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr) {}
    ~BusyPointer() {
        if (on_) SetCursor(previous_);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    bool on_;
    HCURSOR previous_;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

protected:
    // Registers `className` once per process (with the given class style, icon and
    // cursor) and creates the window. Returns false when creation fails.
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent = nullptr, HMENU menu = nullptr, HICON icon = nullptr);

    // Handles one message; the default passes it to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called after WM_NCDESTROY, when the window handle is gone.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND hwnd() const { return hwnd_; }

    // Modal from a template built in memory (see DialogTemplate); returns the EndDialog
    // result, -1 on failure.
    INT_PTR RunModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner);
    // Modeless from such a template; the caller's message loop must route IsDialogMessage.
    HWND CreateModelessIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner);

protected:
    // WM_INITDIALOG; return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Every other message; return TRUE when handled (and set DWLP_MSGRESULT if needed).
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

}  // namespace hv
