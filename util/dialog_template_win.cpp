#include "util/dialog_template_win.h"

namespace hv {

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short width, short height, const wchar_t* title,
                               WORD fontPoints, const wchar_t* fontName) {
    words_.push_back(LOWORD(style));
    words_.push_back(HIWORD(style));
    words_.push_back(LOWORD(exStyle));
    words_.push_back(HIWORD(exStyle));
    words_.push_back(0);  // no controls
    words_.push_back(0);  // x
    words_.push_back(0);  // y
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    AddText(title ? title : L"");
    if (style & DS_SETFONT) {
        words_.push_back(fontPoints);
        AddText(fontName);
    }
}

void DialogTemplate::AddText(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) words_.push_back(static_cast<WORD>(*p));
    words_.push_back(0);
}

}  // namespace hv
