#include "alarm/icon_strip_win.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "util/dpi_win.h"

namespace hv {

namespace {

constexpr wchar_t kStripClass[] = L"HoravoxIconStrip";
// At 96 dpi: cells of 32 x 44 with the icon 6 pixels down, and a viewport of 325.
constexpr int kCellWidth = 32;
constexpr int kCellHeight = 44;
constexpr int kIconTop = 6;
constexpr int kIconSize = 32;
constexpr int kViewportWidth = 325;
constexpr int kIconsPerPage = 10;  // what a click in the scroll bar's trough moves

}  // namespace

HICON ExtractIconAtSize(const std::wstring& file, int index, int size) {
    HICON icon = nullptr;
    UINT id = 0;
    const UINT got = PrivateExtractIconsW(file.c_str(), index, size, size, &icon, &id, 1, LR_DEFAULTCOLOR);
    if (got != 0 && got != 0xFFFFFFFF && icon) return icon;
    // The shell's own reader as a fallback, at the system's size.
    icon = ExtractIconW(GetModuleHandleW(nullptr), file.c_str(), static_cast<UINT>(index));
    return reinterpret_cast<INT_PTR>(icon) > 1 ? icon : nullptr;
}

int CountIcons(const std::wstring& file) {
    if (file.empty()) return 0;
    // Index -1 asks for the number of icons.
    const auto count = reinterpret_cast<INT_PTR>(ExtractIconW(GetModuleHandleW(nullptr), file.c_str(), ~0u));
    return count > 0 ? static_cast<int>(count) : 0;
}

IconStrip::~IconStrip() { FreeBitmap(); }

bool IconStrip::Create(HWND parent, int id) {
    return Window::Create(kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL, WS_EX_CLIENTEDGE, 0, 0,
                          0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void IconStrip::Place(int x, int y, int dpi) {
    const bool rescale = dpi != dpi_ || model_.cellWidth() != ScaleToDpi(kCellWidth, dpi);
    dpi_ = dpi;
    cellHeight_ = ScaleToDpi(kCellHeight, dpi);
    const int viewport = ScaleToDpi(kViewportWidth, dpi);
    model_.SetGeometry(ScaleToDpi(kCellWidth, dpi), viewport);
    // The client area is the viewport: the frame and the scroll bar are measured as the
    // system draws them rather than assumed.
    SetWindowPos(hwnd(), nullptr, x, y, viewport + 4, cellHeight_ + 24, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window, client;
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    SetWindowPos(hwnd(), nullptr, 0, 0, viewport + (window.right - window.left) - client.right,
                 cellHeight_ + (window.bottom - window.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (rescale && model_.count() > 0) Render();
    UpdateScrollBar();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

int IconStrip::Load(const std::wstring& file) {
    if (!hwnd()) return 0;
    file_ = file;
    model_.Load(0);
    FreeBitmap();
    UpdateScrollBar();
    InvalidateRect(hwnd(), nullptr, TRUE);
    const int count = CountIcons(file);
    if (count == 0) return 0;
    const BusyPointer busy;
    model_.Load(count);
    Render();
    UpdateScrollBar();
    InvalidateRect(hwnd(), nullptr, TRUE);
    return model_.count();
}

void IconStrip::Render() {
    FreeBitmap();
    const int count = model_.count();
    const int cell = model_.cellWidth(), size = ScaleToDpi(kIconSize, dpi_), top = ScaleToDpi(kIconTop, dpi_);
    HDC screen = GetDC(hwnd());
    strip_ = CreateCompatibleBitmap(screen, std::max(1, count * cell), cellHeight_);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(hwnd(), screen);
    HGDIOBJ old = SelectObject(dc, strip_);
    RECT all{0, 0, count * cell, cellHeight_};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    // All icons at once, each drawn and destroyed at once.
    std::vector<HICON> icons(static_cast<std::size_t>(count), nullptr);
    std::vector<UINT> ids(icons.size(), 0);
    const UINT got = PrivateExtractIconsW(file_.c_str(), 0, size, size, icons.data(), ids.data(),
                                          static_cast<UINT>(count), LR_DEFAULTCOLOR);
    for (int n = 0; n < count; ++n) {
        HICON icon = got != 0xFFFFFFFF && static_cast<UINT>(n) < got ? icons[static_cast<std::size_t>(n)] : nullptr;
        if (!icon) icon = ExtractIconAtSize(file_, n, size);
        if (!icon) continue;
        DrawIconEx(dc, n * cell + (cell - size) / 2, top, icon, size, size, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

void IconStrip::FreeBitmap() {
    if (strip_) DeleteObject(strip_);
    strip_ = nullptr;
}

bool IconStrip::Mark(int index) {
    if (!hwnd()) return false;
    const int before = model_.marked();
    if (!model_.Mark(index)) return false;
    if (before >= 0) {
        RECT old = CellRect(before);
        InvalidateRect(hwnd(), &old, FALSE);
    }
    RECT now = CellRect(index);
    InvalidateRect(hwnd(), &now, FALSE);
    return true;
}

void IconStrip::ScrollTo(int index) {
    if (!hwnd()) return;
    model_.ScrollTo(index);
    UpdateScrollBar();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void IconStrip::SetScrollValue(int value) {
    if (!hwnd()) return;
    model_.SetScrollValue(value);
    UpdateScrollBar();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

RECT IconStrip::CellRect(int index) const {
    const int left = index * model_.cellWidth() - model_.scrollValue();
    return {left, 0, left + model_.cellWidth(), cellHeight_};
}

void IconStrip::UpdateScrollBar() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, model_.stripWidth() - 1);
    info.nPage = static_cast<UINT>(model_.viewportWidth());
    info.nPos = model_.scrollValue();
    SetScrollInfo(hwnd(), SB_HORZ, &info, TRUE);
    EnableScrollBar(hwnd(), SB_HORZ, model_.scrollEnabled() ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

void IconStrip::OnScroll(int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd(), SB_HORZ, &info);
    const int cell = model_.cellWidth();
    int value = model_.scrollValue();
    switch (code) {
    case SB_LINELEFT: value -= cell; break;
    case SB_LINERIGHT: value += cell; break;
    case SB_PAGELEFT: value -= kIconsPerPage * cell; break;
    case SB_PAGERIGHT: value += kIconsPerPage * cell; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = info.nTrackPos; break;
    case SB_LEFT: value = 0; break;
    case SB_RIGHT: value = model_.scrollMaximum(); break;
    default: return;
    }
    SetScrollValue(value);
}

void IconStrip::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    // The viewport's own colour where the strip does not reach (or while it is empty).
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (strip_ && model_.count() > 0) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, strip_);
        const int width = std::min<int>(client.right, model_.stripWidth() - model_.scrollValue());
        BitBlt(dc, 0, 0, width, cellHeight_, source, model_.scrollValue(), 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        if (model_.marked() >= 0) {
            RECT mark = CellRect(model_.marked());
            HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
            for (int i = 0; i < std::max(1, ScaleToDpi(1, dpi_)); ++i) {
                FrameRect(dc, &mark, highlight);
                InflateRect(&mark, -1, -1);
            }
            if (GetFocus() == hwnd()) {
                InflateRect(&mark, -1, -1);
                DrawFocusRect(dc, &mark);
            }
        }
    }
    EndPaint(hwnd(), &ps);
}

LRESULT IconStrip::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_HSCROLL:
        OnScroll(LOWORD(wp));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        // Beyond the last icon is the empty viewport: nothing to pick there.
        const int index = model_.IndexAt(static_cast<short>(LOWORD(lp)) + model_.scrollValue());
        if (index < 0) return 0;
        if (GetFocus() != hwnd()) SetFocus(hwnd());
        if (onClick) onClick(index);
        return 0;
    }
    case WM_KEYDOWN:
        if (onKey) onKey(wp == VK_LEFT ? StripKey::Left : wp == VK_RIGHT ? StripKey::Right : StripKey::Other);
        return 0;
    case WM_SETFOCUS:
        if (onFocus) onFocus();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_MOUSEWHEEL:
        SetScrollValue(model_.scrollValue() - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * model_.cellWidth());
        return 0;
    default:
        return Window::HandleMessage(msg, wp, lp);
    }
}

}  // namespace hv
