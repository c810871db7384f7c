// frmVerInfo: the version window. The program's about box (modal, with the environment
// report) and, at start-up, its splash (modeless, no caption, no buttons).
#pragma once

#include <windows.h>

#include <string>

#include "app/app.h"
#include "util/window_win.h"

namespace hv {

class VersionWindow : public Dialog {
public:
    // Control ids.
    static constexpr int kIdIcon = 100;
    static constexpr int kIdEnvironment = 101;  // cmdEnvironment
    static constexpr int kIdClose = 102;        // cmdClose, the default button
    static constexpr int kIdReport = 103;       // txtEnv
    static constexpr int kIdVersion = 104;      // lblVer
    static constexpr int kIdMail = 110;         // lblMail(0); lblMail(1) is kIdMail + 1

    static constexpr wchar_t kAboutCaption[] = L"バージョン情報";

    explicit VersionWindow(const App& app) : app_(app) {}
    ~VersionWindow() override;

    // The start-up splash: shown and painted before this returns; the hourglass shows
    // over it. False when the window cannot be created.
    bool ShowSplash();
    void CloseSplash();

    // The about box, modal to `owner`, with caption "バージョン情報" and both buttons.
    void ShowAbout(HWND owner);

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    HWND Add(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left, int top, int width,
             int height, HFONT font);
    void PaintSplash(HDC dc);
    void SetClientSize(int width, int height);
    void Center();
    void ShowEnvironment();
    void OpenMail(int index);
    void FreeResources();

    const App& app_;
    bool splash_ = false;
    HWND owner_ = nullptr;
    int dpi_ = 96;
    HFONT titleFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    HWND tooltip_ = nullptr;
    HICON icon_ = nullptr;
};

}  // namespace hv
