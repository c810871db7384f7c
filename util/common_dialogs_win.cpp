#include "util/common_dialogs_win.h"

#include <commdlg.h>

#include <vector>

#include "util/file_filter.h"

namespace hv {

namespace {

// The longest path Windows accepts, so a long path is never cut or refused for want
// of room.
constexpr DWORD kFileBufferChars = 32768;

}  // namespace

std::wstring ShowOpenFileDialog(HWND owner, std::wstring_view filter) {
    std::wstring filterText = BuildOpenFileFilter(filter);
    std::vector<wchar_t> file(kFileBufferChars, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filterText.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return {};
    std::size_t length = 0;
    while (length < file.size() && file[length] != L'\0') ++length;
    return std::wstring(file.data(), length);
}

std::int32_t ShowColorDialog(HWND owner, std::uint32_t initial, CustomColorTable& customColors) {
    COLORREF table[16];
    for (std::size_t i = 0; i < 16; ++i) table[i] = customColors[i];
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = table;
    cc.Flags = CC_RGBINIT;
    const BOOL chosen = ChooseColorW(&cc);
    // The chooser edits the table in place, whichever button closed it.
    for (std::size_t i = 0; i < 16; ++i) customColors[i] = table[i];
    if (!chosen) return kColorDialogCancelled;
    return static_cast<std::int32_t>(cc.rgbResult & 0x00FFFFFF);
}

}  // namespace hv
