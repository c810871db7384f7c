// An empty dialog template built in memory: the dialog's frame, caption and font. The
// controls are created in code at WM_INITDIALOG, so a static library needs no resources.
#pragma once

#include <windows.h>

#include <vector>

namespace hv {

class DialogTemplate {
public:
    // `style` should include DS_SETFONT for the font to apply; size in dialog units.
    DialogTemplate(DWORD style, DWORD exStyle, short width, short height, const wchar_t* title,
                   WORD fontPoints, const wchar_t* fontName);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AddText(const wchar_t* text);

    std::vector<WORD> words_;  // WORD storage keeps the DWORD alignment DLGTEMPLATE needs
};

}  // namespace hv
