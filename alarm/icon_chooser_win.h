// frmIcon, "アイコンの変更": picks the icon an alarm's notification shows, from a file
// that holds icons (.ico, .exe, .dll). Opened modally by the alarm settings dialog with the
// alarm's file and icon; its result is the choice it was opened with, changed and accepted
// only when OK closed it.
#pragma once

#include <windows.h>

#include <string>

#include "alarm/icon_chooser_model.h"
#include "alarm/icon_strip_win.h"
#include "util/form_win.h"

namespace hv {

class IconChooser : public Form {
public:
    static constexpr int kIdFileLabel = 100;
    static constexpr int kIdFile = 101;    // txtIconFile
    static constexpr int kIdBrowse = 102;  // cmdBrowse
    static constexpr int kIdIconsLabel = 103;
    static constexpr int kIdStrip = 104;   // picContainer with picIconData and hsbIconChoice

    // `systemDirectory` ends in a backslash; its SHELL32.DLL is the default file.
    IconChooser(const std::wstring& systemDirectory, IconChoice choice);

    // Modal to `owner`; the choice as it stands at the end, `accepted` when OK closed it.
    IconChoice Run(HWND owner);
    const IconChoice& choice() const { return choice_; }
    const IconStrip& strip() const { return strip_; }

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    bool OnValidate(int id) override;
    bool OnOk() override;
    // The strip is no row: it follows the layer to each new dpi.
    void OnNewDpi() override { PlaceStrip(); }

private:
    void LoadIconStrip();
    void MarkSelectedIcon();
    void ScrollToSelectedIcon();
    void NewFile();
    void PlaceStrip();

    std::wstring defaultFile_;
    IconChoice choice_;
    IconStrip strip_;
};

}  // namespace hv
