// frmVerInfo: the version window. The program's about box (modal, with the environment
// report) and, at start-up, its splash (modeless, no caption, no buttons).
#pragma once

#include <windows.h>

#include "util/form_win.h"
#include "util/system_info.h"

namespace hv {

class VersionWindow : public Form {
public:
    // Control ids.
    static constexpr int kIdIcon = 100;
    static constexpr int kIdEnvironment = 101;  // cmdEnvironment
    static constexpr int kIdClose = 102;        // cmdClose, the default button
    static constexpr int kIdReport = 103;       // txtEnv
    static constexpr int kIdVersion = 104;      // lblVer
    static constexpr int kIdMail = 110;         // lblMail(0); lblMail(1) is kIdMail + 1
    static constexpr int kIdProduct = 105, kIdNotice = 106, kIdLine1 = 107, kIdLine2 = 108;

    static constexpr wchar_t kAboutCaption[] = L"バージョン情報";

    explicit VersionWindow(const SystemInfo& system);

    // The start-up splash: shown and painted before this returns; the hourglass shows
    // over it. False when the window cannot be created.
    bool ShowSplash();
    void CloseSplash();

    // The about box, modal to `owner`, with caption "バージョン情報" and both buttons.
    void ShowAbout(HWND owner);

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowEnvironment();
    void OpenMail(int index);

    const SystemInfo& system_;
    bool splash_ = false;
};

}  // namespace hv
