#include "util/form_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "util/dialog_template_win.h"
#include "util/dpi_win.h"
#include "util/units.h"

namespace hv {

namespace {

// Posted when a text box loses the focus: by the time it arrives the focus has landed,
// so a press of Cancel can be told from a move to another control.
constexpr UINT kValidateMessage = WM_APP + 0x40;

struct KindTraits {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// What each kind of row is made of. Options get their tab stop from OptionGroup::Select.
constexpr KindTraits kKinds[] = {
    {WC_STATICW, SS_LEFT, 0},                                     // Label
    {WC_BUTTONW, BS_GROUPBOX, 0},                                 // Frame
    {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0},                  // Button
    {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},               // DefaultButton
    {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0},                // CheckBox
    {WC_BUTTONW, BS_AUTORADIOBUTTON, 0},                          // Option
    {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},    // Edit
    {UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0},          // Spinner
    {TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, 0},  // Slider
    {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, 0},            // Tabs
    {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},  // Combo
    {WC_BUTTONW, BS_OWNERDRAW | WS_TABSTOP, 0},                   // ColorSwatch
    {PROGRESS_CLASSW, 0, 0},                                      // Progress
    {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY, 0},                    // Picture
    {WC_BUTTONW, BS_OWNERDRAW | WS_TABSTOP, 0},                   // PlayButton
    {WC_STATICW, SS_ETCHEDHORZ, 0},                               // Line
    {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0},                       // Heading
    {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY | WS_TABSTOP, 0},  // Link
    {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},  // List
    {HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE},                // Hotkey
};
static_assert(std::size(kKinds) == static_cast<std::size_t>(ControlKind::Hotkey) + 1, "one row of traits per kind");

// Spelled out: MinGW's oleacc import library carries them as data, which a late import cannot.
constexpr GUID kClsidAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIidAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropIdAccName{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropIdAccDescription{0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr GUID kPropIdAccRole{0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

// Gives what screen readers read of `window`'s own object through the system's annotation
// service: `property` as `text` and, unless 0, `role` as its role. Nothing where the service
// is missing.
void Annotate(HWND window, const GUID& property, const std::wstring& text, long role = 0) {
    IAccPropServices* services = nullptr;
    if (!window || FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                           reinterpret_cast<void**>(&services))))
        return;
    std::wstring copy = text;
    services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, copy.data());
    if (role != 0) {
        VARIANT value{};
        value.vt = VT_I4;
        value.lVal = role;
        services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kPropIdAccRole, value);
    }
    services->Release();
}

constexpr wchar_t kLinkProcProp[] = L"HvLinkProc";

// A link as the keyboard knows it: Enter and Space open it (a click of the dialog's), and a
// dotted rectangle around its text shows the focus while the keyboard cues are on.
LRESULT CALLBACK LinkProc(HWND link, UINT msg, WPARAM wp, LPARAM lp) {
    const auto base = reinterpret_cast<WNDPROC>(GetPropW(link, kLinkProcProp));
    const bool press = msg == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_SPACE);
    if (msg == WM_GETDLGCODE && lp && reinterpret_cast<const MSG*>(lp)->message == WM_KEYDOWN &&
        reinterpret_cast<const MSG*>(lp)->wParam == VK_RETURN)
        return DLGC_WANTMESSAGE;
    if (press) {
        SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        return 0;
    }
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_UPDATEUISTATE) InvalidateRect(link, nullptr, TRUE);
    if (msg == WM_NCDESTROY) {
        RemovePropW(link, kLinkProcProp);
        SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
    }
    const LRESULT result = CallWindowProcW(base, link, msg, wp, lp);
    if (msg == WM_PAINT && GetFocus() == link && !(SendMessageW(link, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        wchar_t text[256] = {};
        const int length = GetWindowTextW(link, text, 256);
        HDC dc = GetDC(link);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text, length, &size);
        RECT box;
        GetClientRect(link, &box);
        box.right = std::min<LONG>(box.right, size.cx + 2);
        DrawFocusRect(dc, &box);
        SelectObject(dc, old);
        ReleaseDC(link, dc);
    }
    return result;
}

// Kinds that show no caption of their own: a screen reader names them after their label.
bool NamedByLabel(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::Combo || kind == ControlKind::Slider ||
           kind == ControlKind::Spinner;
}

// The row that names the box at `index`: the nearest label before it with an access key (the
// label whose key moves the focus to the box) or, when a frame comes first, the frame the box
// stands in; on the box's page or on every page. Null when there is neither.
const ControlRow* NamingRow(std::span<const ControlRow> rows, std::size_t index) {
    for (std::size_t i = index; i-- > 0;) {
        const ControlRow& row = rows[i];
        if (!row.text || !*row.text || (row.page != 0 && row.page != rows[index].page)) continue;
        if ((row.kind == ControlKind::Label && std::wcschr(row.text, L'&')) || row.kind == ControlKind::Frame)
            return &row;
    }
    return nullptr;
}

// A caption as a screen reader says it: without the access key ("(&S)" or "&") and the colon.
std::wstring SpokenCaption(const wchar_t* text) {
    std::wstring spoken;
    for (const wchar_t* c = text; *c; ++c) {
        if (c[0] == L'(' && c[1] == L'&' && c[2] && c[3] == L')') c += 3;
        else if (*c != L'&') spoken += *c;
    }
    while (!spoken.empty() && (spoken.back() == L':' || spoken.back() == L'：' || spoken.back() == L' ')) spoken.pop_back();
    return spoken;
}

// Link blue: the system's hot-track colour is grey in some colour schemes.
constexpr COLORREF kLinkColor = RGB(0, 80, 200);
constexpr int kHeadingPoints = 12;

// Fonts are made once per face and role; the key names both.
std::wstring FontKey(const wchar_t* face, ControlKind kind) {
    std::wstring key = face ? face : L"";
    if (kind == ControlKind::Heading) key += L"|heading";
    if (kind == ControlKind::Link) key += L"|link";
    return key;
}

const KindTraits& Traits(ControlKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

std::vector<Form*>& OpenModeless() {
    static std::vector<Form*> forms;
    return forms;
}

// The open forms with a tab strip (all on the one user-interface thread).
std::vector<Form*>& TabbedForms() {
    static std::vector<Form*> forms;
    return forms;
}

// The system's message font at `dpi`: the UI font of every dialog.
LOGFONTW MessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfMessageFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return metrics.lfMessageFont;
}

// Leaves re-layout and fonts on a dpi change to the form; the dialog manager would only
// scale what a template made.
void TakeOverDpiChanges(HWND dialog) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using Behavior = BOOL(WINAPI*)(HWND, int, int);
    if (auto set = reinterpret_cast<Behavior>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior"))))
        set(dialog, 0x3 /* DDC_DISABLE_ALL */, 0x3);
}

std::vector<std::wstring> SplitTabs(const wchar_t* text) {
    std::vector<std::wstring> tabs;
    std::wstring all = text ? text : L"";
    std::size_t start = 0;
    for (std::size_t bar; (bar = all.find(L'|', start)) != std::wstring::npos; start = bar + 1)
        tabs.push_back(all.substr(start, bar - start));
    tabs.push_back(all.substr(start));
    return tabs;
}

// The captions of "a|b|c" inserted in turn: a tab strip's tabs (TCITEMW) or a list's columns
// (LVCOLUMNW).
template <typename Item>
void InsertCaptions(HWND control, UINT insert, UINT textMask, const wchar_t* captions) {
    std::vector<std::wstring> texts = SplitTabs(captions);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Item item{};
        item.mask = textMask;
        item.pszText = texts[i].data();
        SendMessageW(control, insert, i, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace

// ---- typed views ----

bool CheckBox::Checked() const { return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void CheckBox::SetChecked(bool on) const { SendMessageW(hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

int OptionGroup::Selected() const {
    for (int i = 0; i < count; ++i)
        if (IsDlgButtonChecked(dialog, firstId + i) == BST_CHECKED) return i;
    return -1;
}

void OptionGroup::Select(int index) const {
    const bool any = index >= 0 && index < count;
    for (int i = 0; i < count; ++i) {
        HWND button = GetDlgItem(dialog, firstId + i);
        SendMessageW(button, BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
        // Tab lands on the selected option, or on the first while none is.
        const bool stop = any ? i == index : i == 0;
        LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        SetWindowLongPtrW(button, GWL_STYLE, stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
}

std::wstring EditBox::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void EditBox::SetText(const std::wstring& text) const {
    SetWindowTextW(hwnd, text.c_str());
    SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
}

void EditBox::SetLimit(int characters) const { SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0); }

int Spinner::Value() const { return static_cast<int>(SendMessageW(hwnd, UDM_GETPOS32, 0, 0)); }
void Spinner::SetValue(int value) const { SendMessageW(hwnd, UDM_SETPOS32, 0, value); }
void Spinner::SetRange(int minimum, int maximum) const { SendMessageW(hwnd, UDM_SETRANGE32, minimum, maximum); }

int Slider::Value() const { return static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0)); }
void Slider::SetValue(int value) const { SendMessageW(hwnd, TBM_SETPOS, TRUE, value); }
void Slider::SetRange(int minimum, int maximum) const {
    SendMessageW(hwnd, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageW(hwnd, TBM_SETRANGEMAX, TRUE, maximum);
}

void ListView::SetLines(const std::vector<std::vector<std::wstring>>& lines) const {
    const int selected = Selected();
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t c = 0; c < lines[i].size(); ++c) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.iSubItem = static_cast<int>(c);
            item.pszText = const_cast<wchar_t*>(lines[i][c].c_str());
            SendMessageW(hwnd, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, c == 0 ? 0 : i,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    if (selected >= 0) Select(std::min(selected, static_cast<int>(lines.size()) - 1));
}

int ListView::Selected() const {
    return static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::Select(int index) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void ListView::FitColumns() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int c = 0; c < columns; ++c) {
        // The last one takes the rest of the list's width.
        if (c == columns - 1) {
            SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
            break;
        }
        // The widest text, or the caption where that is wider (some versions of the control
        // size to the texts alone): the caption's width and the control's margins on it.
        SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
        const int texts = static_cast<int>(SendMessageW(hwnd, LVM_GETCOLUMNWIDTH, c, 0));
        wchar_t caption[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = caption;
        column.cchTextMax = 64;
        SendMessageW(hwnd, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
        const auto width = [&](const wchar_t* text) {
            return static_cast<int>(SendMessageW(hwnd, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
        };
        const int captionWidth = width(caption) + width(L"MM") * 3 / 4;
        // No column takes more than half the list: a long text is cut short, with an ellipsis.
        RECT client{};
        GetClientRect(hwnd, &client);
        const int fitted = std::min<int>(std::max(texts, captionWidth), client.right / 2);
        if (fitted != texts) SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, c, fitted);
    }
}

void ComboBox::Clear() const { SendMessageW(hwnd, CB_RESETCONTENT, 0, 0); }
int ComboBox::Add(const std::wstring& text) const {
    return static_cast<int>(SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}
int ComboBox::Count() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)); }
int ComboBox::Selected() const { return static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)); }
void ComboBox::Select(int index) const { SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
std::wstring ComboBox::ItemText(int index) const {
    const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void ProgressBar::SetRange(int minimum, int maximum) const { SendMessageW(hwnd, PBM_SETRANGE32, minimum, maximum); }
void ProgressBar::SetValue(int value) const { SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(value), 0); }

// The control's word is the virtual key and HOTKEYF_SHIFT (1), CONTROL (2), ALT (4) and EXT (8)
// above it; the extended-key flag is no part of the combination.
std::uint16_t HotkeyBox::Value() const {
    return static_cast<std::uint16_t>(SendMessageW(hwnd, HKM_GETHOTKEY, 0, 0) & 0x07FF);
}
void HotkeyBox::SetValue(std::uint16_t hotkey) const { SendMessageW(hwnd, HKM_SETHOTKEY, hotkey & 0x07FF, 0); }

// ---- the form ----

Form::~Form() {
    if (hwnd()) DestroyWindow(hwnd());
    ReleasePictures();
    if (paneBrush_) DeleteObject(paneBrush_);
    FreeFonts();
}

void Form::UseLayout(const FormLayout& layout) {
    layout_ = &layout;
    clientWidth_ = layout.width;
    clientHeight_ = layout.height;
}

void Form::ResizeClient(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    ApplyClientSize();
    // A window grown past the bottom of its screen moves up, so what it grew for shows.
    RECT window;
    GetWindowRect(hwnd(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor) &&
        window.bottom > monitor.rcWork.bottom) {
        const int top = std::max<LONG>(monitor.rcWork.top, window.top - (window.bottom - monitor.rcWork.bottom));
        SetWindowPos(hwnd(), nullptr, window.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR Form::RunModal(HWND owner) {
    owner_ = owner;
    modal_ = true;
    closing_ = false;
    DialogTemplate frame(layout_->style, layout_->exStyle, 10, 10, layout_->caption, 0, nullptr);
    return RunModalIndirect(GetModuleHandleW(nullptr), frame.get(), owner);
}

bool Form::ShowModeless(HWND owner) {
    owner_ = owner;
    modal_ = false;
    closing_ = false;
    DialogTemplate frame(layout_->style, layout_->exStyle, 10, 10, layout_->caption, 0, nullptr);
    if (!CreateModelessIndirect(GetModuleHandleW(nullptr), frame.get(), owner)) return false;
    OpenModeless().push_back(this);
    return true;
}

bool Form::RouteDialogMessage(MSG* msg) {
    for (Form* form : OpenModeless()) {
        if (form->hwnd() && IsDialogMessageW(form->hwnd(), msg)) return true;
    }
    return false;
}

void Form::Close(INT_PTR result) {
    if (!hwnd() || closing_) return;
    closing_ = true;
    if (modal_) {
        EndDialog(hwnd(), result);
    } else {
        DestroyWindow(hwnd());
    }
}

void Form::Enable(int id, bool on) const { EnableWindow(Item(id), on ? TRUE : FALSE); }

void Form::Show(int id, bool on) {
    if (on) {
        hidden_.erase(id);
    } else {
        hidden_.insert(id);
    }
    const ControlRow* row = RowOf(id);
    const bool pageUp = !row || row->page == 0 || row->page == page_;
    ShowWindow(Item(id), on && pageUp ? SW_SHOWNA : SW_HIDE);
}

void Form::SetText(int id, const std::wstring& text) {
    if (layout_->painted) {
        paintedTexts_[id] = text;
        if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
        return;
    }
    SetWindowTextW(Item(id), text.c_str());
}

void Form::SetSwatch(int id, COLORREF color) {
    swatches_[id] = color;
    RedrawRow(id, false);
}

COLORREF Form::Swatch(int id) const {
    auto found = swatches_.find(id);
    return found == swatches_.end() ? 0 : found->second;
}

void Form::SetPicture(int id, HICON icon, bool owned) {
    PictureSlot& slot = pictures_[id];
    if (slot.icon && slot.owned && slot.icon != icon) DestroyIcon(slot.icon);
    slot = {icon, owned};
    RedrawRow(id, true);
}

// The row's control, or the form on a painted form (it has none). Never a null window, which
// would redraw every window on the desktop.
void Form::RedrawRow(int id, bool erase) const {
    if (!hwnd()) return;
    HWND control = Item(id);
    InvalidateRect(control ? control : hwnd(), nullptr, erase ? TRUE : FALSE);
}

HICON Form::Picture(int id) const {
    auto found = pictures_.find(id);
    return found == pictures_.end() ? nullptr : found->second.icon;
}

void Form::ReleasePictures() {
    for (auto& [id, slot] : pictures_)
        if (slot.icon && slot.owned) DestroyIcon(slot.icon);
    pictures_.clear();
}

void Form::ShowPage(int page) {
    page_ = page;
    for (const ControlRow& row : layout_->controls) {
        if (row.page == 0) continue;
        ShowWindow(Item(row.id), row.page == page && !hidden_.count(row.id) ? SW_SHOWNA : SW_HIDE);
    }
    for (const ControlRow& row : layout_->controls) {
        if (row.kind == ControlKind::Tabs) TabCtrl_SetCurSel(Item(row.id), page - 1);
    }
}

void Form::TurnPage(int delta) {
    const ControlRow* tabs = nullptr;
    int pages = 0;
    for (const ControlRow& row : layout_->controls) {
        if (row.kind == ControlKind::Tabs) tabs = &row;
        pages = std::max(pages, row.page);
    }
    if (!tabs || pages < 1) return;
    ShowPage((page_ - 1 + delta % pages + pages) % pages + 1);
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd(), focus) || !IsWindowVisible(focus))
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(tabs->id)), TRUE);
    AfterPageShown(tabs->id);
}

// A box typed on the page left is taken (or refused, its page back) before the dialog hears
// of the new page.
void Form::AfterPageShown(int tabsId) {
    TakePendingEdits();
    OnValueChanged(tabsId);
}

// The dialog manager takes Ctrl+Tab for Tab; a message filter sees the key first (both the
// modal loop and RouteDialogMessage pass every message through it).
LRESULT CALLBACK Form::PageKeys(int code, WPARAM wp, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
        (msg->wParam == VK_TAB || msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR)) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        for (Form* form : TabbedForms()) {
            if (form->hwnd() != root || !IsWindowEnabled(root)) continue;
            const bool back = msg->wParam == VK_PRIOR || (msg->wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
            form->TurnPage(back ? -1 : 1);
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void Form::Refuse(int editId) {
    HWND box = Item(editId);
    MessageBeep(MB_OK);
    // A box on another tab page comes into view with its page.
    if (const ControlRow* row = RowOf(editId); row && row->page != 0 && row->page != page_) ShowPage(row->page);
    if (GetFocus() != box) SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    SendMessageW(box, EM_SETSEL, 0, -1);
}

bool Form::Mendable(int editId) const {
    HWND box = Item(editId);
    if (!box || !IsWindowEnabled(box) || hidden_.count(editId)) return false;
    const ControlRow* row = RowOf(editId);
    return (GetWindowLongPtrW(box, GWL_STYLE) & WS_VISIBLE) || (row && row->page != 0 && row->page != page_);
}

OptionGroup Form::GroupOf(const ControlRow& option) const {
    const auto& rows = layout_->controls;
    std::size_t first = static_cast<std::size_t>(&option - rows.data()), end = first + 1;
    while (first > 0 && rows[first - 1].kind == ControlKind::Option) --first;
    while (end < rows.size() && rows[end].kind == ControlKind::Option) ++end;
    return Options(rows[first].id, static_cast<int>(end - first));
}

const ControlRow* Form::RowOf(int id) const {
    for (const ControlRow& row : layout_->controls)
        if (row.id == id) return &row;
    return nullptr;
}

BOOL Form::OnInitDialog() {
    if (!layout_->painted) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
    }
    TakeOverDpiChanges(hwnd());
    dpi_ = DpiOf(hwnd());
    MakeFonts();
    if (!layout_->painted) {
        CreateControls();
        NameControls();
    }
    Layout();
    ApplyClientSize();
    CenterOnOwner();
    // Enter presses the default button, whichever control has the focus.
    for (const ControlRow& row : layout_->controls)
        if (row.kind == ControlKind::DefaultButton) SendMessageW(hwnd(), DM_SETDEFID, row.id, 0);
    if (tabs_ && !pageKeys_) {
        pageKeys_ = SetWindowsHookExW(WH_MSGFILTER, PageKeys, nullptr, GetCurrentThreadId());
        TabbedForms().push_back(this);
    }
    OnLoad();
    // The first control Tab reaches gets the focus; OnLoad may have moved it already.
    if (!GetFocus() || !IsChild(hwnd(), GetFocus())) {
        HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
        if (first) SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
    return FALSE;
}

void Form::CreateControls() {
    controls_.clear();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    bool inOptions = false;
    for (const ControlRow& row : layout_->controls) {
        const KindTraits& traits = Traits(row.kind);
        DWORD style = WS_CHILD | traits.style | row.style;
        // A box of several lines wraps its words instead of scrolling sideways.
        if (row.kind == ControlKind::Edit && (row.style & ES_MULTILINE)) style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
        if (row.page <= 1) style |= WS_VISIBLE;
        // Each control is a group of its own, except a run of options.
        const bool option = row.kind == ControlKind::Option;
        if (!option || !inOptions) style |= WS_GROUP;
        if (option && !inOptions) style |= WS_TABSTOP;
        inOptions = option;
        HWND control = CreateWindowExW(traits.exStyle, traits.className, row.text, style, 0, 0, 0, 0, hwnd(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        controls_.push_back(control);
        if (!control) continue;
        if (row.kind == ControlKind::Link) {
            SetPropW(control, kLinkProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(control, GWLP_WNDPROC)));
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc));
        }
        if (row.kind == ControlKind::Spinner) {
            // The box just before works with the arrows (and the arrow keys in it).
            HWND buddy = GetWindow(control, GW_HWNDPREV);
            if (buddy) SendMessageW(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        }
        if (row.kind == ControlKind::Tabs) {
            tabs_ = control;
            InsertCaptions<TCITEMW>(control, TCM_INSERTITEMW, TCIF_TEXT, row.text);
        }
        if (row.kind == ControlKind::List) {
            SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
            InsertCaptions<LVCOLUMNW>(control, LVM_INSERTCOLUMNW, LVCF_TEXT, row.text);
        }
        if (row.tip) {
            if (!tooltip_) {
                tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                           instance, nullptr);
            }
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;  // accepted by every version of the control
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = hwnd();
            tool.uId = reinterpret_cast<UINT_PTR>(control);
            tool.lpszText = const_cast<wchar_t*>(row.tip);
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

void Form::NameControls() {
    const auto& rows = layout_->controls;
    std::vector<const ControlRow*> moved;  // a label stands before the first of the boxes it names
    for (std::size_t i = 0; i < rows.size() && i < controls_.size(); ++i) {
        HWND control = controls_[i];
        if (control && rows[i].kind == ControlKind::Link) Name(control, rows[i], rows[i].text ? rows[i].text : L"");
        const ControlRow* label = NamedByLabel(rows[i].kind) ? NamingRow(rows, i) : nullptr;
        if (!control || !label) continue;
        Name(control, rows[i], names_[rows[i].id] = SpokenCaption(label->text));
        if (rows[i].kind != ControlKind::Spinner && rows[i].kind != ControlKind::Slider &&
            label->kind == ControlKind::Label && std::find(moved.begin(), moved.end(), label) == moved.end()) {
            moved.push_back(label);
            HWND labelWindow = controls_[static_cast<std::size_t>(label - rows.data())];
            HWND above = GetWindow(control, GW_HWNDPREV);
            if (labelWindow && above != labelWindow)
                SetWindowPos(labelWindow, above ? above : HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
}

void Form::Name(HWND control, const ControlRow& row, const std::wstring& name) {
    // Windows reads a name given here (dynamic annotation); where the service is missing (Wine),
    // the label stands right before its box, where the system's own objects look for it, and
    // the spinners and sliders, which show no text, carry the name as theirs. A link is read
    // as a link, not as a text.
    Annotate(control, kPropIdAccName, name, row.kind == ControlKind::Link ? ROLE_SYSTEM_LINK : 0);
    if (row.kind == ControlKind::Spinner || row.kind == ControlKind::Slider) SetWindowTextW(control, name.c_str());
}

void Form::Describe(const std::wstring& text) { Annotate(hwnd(), kPropIdAccDescription, text); }

void Form::AddToName(int id, const std::wstring& words) {
    const ControlRow* row = RowOf(id);
    if (!row || !Item(id)) return;
    const auto named = names_.find(id);
    Name(Item(id), *row, named == names_.end() || named->second.empty() ? words : named->second + L" " + words);
}

void Form::Layout() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlRow& row = layout_->controls[i];
        HWND control = controls_[i];
        if (!control) continue;
        // The font first: a control sized after it lays its text out for the new one.
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row)), FALSE);
        SetWindowPos(control, nullptr, ScaleToDpi(row.x, dpi_), ScaleToDpi(row.y, dpi_),
                     ScaleToDpi(row.width, dpi_), ScaleToDpi(row.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[L""]), FALSE);
    TakePaneColor();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The system may draw the tab pane lighter than the dialog (a visual style's page colour):
// the pages' labels, frames, options and sliders must not stand on it as boxes of the
// dialog's colour. The pane's middle, drawn off screen by the strip itself, is its colour.
void Form::TakePaneColor() {
    if (paneBrush_) DeleteObject(paneBrush_);
    paneBrush_ = nullptr;
    RECT client;
    if (!tabs_ || !GetClientRect(tabs_, &client) || client.right <= 0 || client.bottom <= 0) return;
    HDC screen = GetDC(tabs_);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(tabs_, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tabs_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    RECT pane = client;
    TabCtrl_AdjustRect(tabs_, FALSE, &pane);
    const COLORREF color = GetPixel(dc, (pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    paneColor_ = color == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : color;
    paneBrush_ = CreateSolidBrush(paneColor_);
}

HBRUSH Form::BackgroundOf(const ControlRow& row) const {
    return row.page != 0 && paneBrush_ ? paneBrush_ : GetSysColorBrush(COLOR_BTNFACE);
}

// The dialog's colour with the tab pane in the pane's: styled frames and options draw their
// parent's background behind them, which must be the pane where they stand.
void Form::PaintBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT pane;
    GetClientRect(tabs_, &pane);
    TabCtrl_AdjustRect(tabs_, FALSE, &pane);
    MapWindowPoints(tabs_, hwnd(), reinterpret_cast<POINT*>(&pane), 2);
    FillRect(dc, &pane, paneBrush_);
}

void Form::ApplyClientSize() {
    // The frame as it is drawn now: the system may draw it at another dpi than the
    // client's (the system dpi), so it is measured rather than computed.
    RECT window, client;
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    SetWindowPos(hwnd(), nullptr, 0, 0, ScaleToDpi(clientWidth_, dpi_) + frameWidth,
                 ScaleToDpi(clientHeight_, dpi_) + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CenterOnOwner() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    HWND anchor = owner_ && IsWindowVisible(owner_) && !IsIconic(owner_) ? owner_ : nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(anchor ? anchor : hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    if (anchor) GetWindowRect(anchor, &area);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const RECT& work = monitor.rcWork;
    const int left = std::clamp<int>(area.left + (area.right - area.left - width) / 2, work.left,
                                     std::max<int>(work.left, work.right - width));
    const int top = std::clamp<int>(area.top + (area.bottom - area.top - height) / 2, work.top,
                                    std::max<int>(work.top, work.bottom - height));
    SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::MakeFonts() {
    FreeFonts();
    LOGFONTW base = MessageFont(dpi_);
    if (layout_->fontFace) {
        wcsncpy_s(base.lfFaceName, layout_->fontFace, _TRUNCATE);
        base.lfHeight = -MulDiv(layout_->fontPoints, dpi_, 72);
        base.lfCharSet = DEFAULT_CHARSET;
    }
    fonts_[L""] = CreateFontIndirectW(&base);
    for (const ControlRow& row : layout_->controls) {
        const std::wstring key = FontKey(row.fontFace, row.kind);
        if (fonts_.count(key)) continue;
        LOGFONTW font = base;
        if (row.fontFace) {
            wcsncpy_s(font.lfFaceName, row.fontFace, _TRUNCATE);
            font.lfCharSet = DEFAULT_CHARSET;
        }
        if (row.kind == ControlKind::Heading) {
            font.lfWeight = FW_BOLD;
            font.lfHeight = -MulDiv(kHeadingPoints, dpi_, 72);
        }
        font.lfUnderline = row.kind == ControlKind::Link;
        fonts_[key] = CreateFontIndirectW(&font);
    }
}

void Form::FreeFonts() {
    for (auto& [face, font] : fonts_)
        if (font) DeleteObject(font);
    fonts_.clear();
}

HFONT Form::FontFor(const ControlRow& row) const {
    auto found = fonts_.find(FontKey(row.fontFace, row.kind));
    return found == fonts_.end() ? nullptr : found->second;
}

void Form::ValidateAfterFocusLeft(int id) {
    HWND box = Item(id);
    // A box greyed or hidden as the focus left it (by the click that took the focus) keeps
    // its text unchecked until the user can reach it again.
    if (closing_ || !Mendable(id) || !SendMessageW(box, EM_GETMODIFY, 0, 0)) return;
    HWND focus = GetFocus();
    // Cancel never waits for a valid entry, and a box the user went back to is still his.
    if (focus == box || (focus && GetDlgCtrlID(focus) == IDCANCEL && IsChild(hwnd(), focus))) return;
    // Switching to another program leaves the entry as it is until the user returns.
    if (!focus || (focus != hwnd() && !IsChild(hwnd(), focus))) return;
    if (OnValidate(id)) {
        SendMessageW(box, EM_SETMODIFY, FALSE, 0);
    } else {
        Refuse(id);
    }
}

bool Form::TakePendingEdits() {
    for (const ControlRow& row : layout_->controls) {
        if (row.kind != ControlKind::Edit) continue;
        HWND box = Item(row.id);
        if (!Mendable(row.id) || !SendMessageW(box, EM_GETMODIFY, 0, 0)) continue;
        if (!OnValidate(row.id)) {
            Refuse(row.id);
            return false;
        }
        SendMessageW(box, EM_SETMODIFY, FALSE, 0);
    }
    return true;
}

void Form::PressOk() {
    if (TakePendingEdits() && OnOk()) Close(IDOK);
}

void Form::OnCommand(int id, int code, HWND control) {
    const ControlRow* row = control ? RowOf(id) : nullptr;
    if (!row) {
        // Enter and Esc arrive without a control when their button is missing.
        if (id == IDOK && code == 0) PressOk();
        if (id == IDCANCEL) {
            OnCancel();
            Close(IDCANCEL);
        }
        return;
    }
    if (row->kind == ControlKind::Edit) {
        if (code == EN_SETFOCUS) SendMessageW(control, EM_SETSEL, 0, -1);
        if (code == EN_KILLFOCUS) PostMessageW(hwnd(), kValidateMessage, static_cast<WPARAM>(id), 0);
        if (code == EN_CHANGE && SendMessageW(control, EM_GETMODIFY, 0, 0)) OnValueChanged(id);
        return;
    }
    if (row->kind == ControlKind::Combo) {
        if (code == CBN_SELCHANGE) OnValueChanged(id);
        return;
    }
    if (row->kind == ControlKind::Hotkey) {
        if (code == EN_CHANGE) OnValueChanged(id);
        return;
    }
    if (row->kind == ControlKind::Picture || row->kind == ControlKind::Link) {
        if (code == STN_CLICKED) OnClick(id);
        return;
    }
    if (code != BN_CLICKED) return;
    if (row->kind == ControlKind::Option) {
        // The group's tab stop follows the checked option.
        const OptionGroup group = GroupOf(*row);
        group.Select(id - group.firstId);
    }
    if (id == IDOK) {
        PressOk();
    } else if (id == IDCANCEL) {
        OnCancel();
        Close(IDCANCEL);
    } else {
        OnClick(id);
    }
}

INT_PTR Form::OnNotify(const NMHDR& header) {
    const ControlRow* row = RowOf(static_cast<int>(header.idFrom));
    if (!row) return FALSE;
    if (row->kind == ControlKind::Spinner && header.code == UDN_DELTAPOS) {
        // A number typed but not yet taken is where the arrows count from.
        HWND buddy = reinterpret_cast<HWND>(SendMessageW(header.hwndFrom, UDM_GETBUDDY, 0, 0));
        if (buddy && Mendable(GetDlgCtrlID(buddy)) && SendMessageW(buddy, EM_GETMODIFY, 0, 0)) {
            const int buddyId = GetDlgCtrlID(buddy);
            if (!OnValidate(buddyId)) {
                Refuse(buddyId);
                SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);  // the arrows do nothing
                return TRUE;
            }
            SendMessageW(buddy, EM_SETMODIFY, FALSE, 0);
            reinterpret_cast<NMUPDOWN*>(const_cast<NMHDR*>(&header))->iPos = Spinner{header.hwndFrom}.Value();
        }
        return FALSE;
    }
    if (row->kind == ControlKind::List && header.code == LVN_ITEMACTIVATE) {
        OnClick(row->id);
        return TRUE;
    }
    if (row->kind == ControlKind::Tabs && header.code == TCN_SELCHANGE) {
        ShowPage(TabCtrl_GetCurSel(header.hwndFrom) + 1);
        AfterPageShown(row->id);
        return TRUE;
    }
    return FALSE;
}

void Form::OnScroll(HWND control, int code) {
    // Every step is reported, then the end of the scroll once more: the end is no change.
    if (code == SB_ENDSCROLL) return;
    const int id = GetDlgCtrlID(control);
    if (const ControlRow* row = RowOf(id)) {
        if (row->kind == ControlKind::Spinner || row->kind == ControlKind::Slider) OnValueChanged(id);
    }
}

void Form::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const ControlRow* row = RowOf(static_cast<int>(item.CtlID));
    if (!row) return;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const int inset = ScaleToDpi(4, dpi_);
    if (row->kind == ControlKind::Picture) {
        FillRect(dc, &r, BackgroundOf(*row));
        if (HICON icon = Picture(row->id)) {
            const int size = std::min<int>(ScaleToDpi(32, dpi_), std::min(r.right - r.left, r.bottom - r.top));
            DrawIconEx(dc, r.left + (r.right - r.left - size) / 2, r.top + (r.bottom - r.top - size) / 2, icon, size,
                       size, 0, nullptr, DI_NORMAL);
        }
        return;
    }
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    RECT inner = r;
    InflateRect(&inner, -inset, -inset);
    if (pushed) OffsetRect(&inner, 1, 1);
    if (row->kind == ControlKind::ColorSwatch) {
        // The colour inside a thin frame, inset as a swatch on a button always was: 145 and
        // 160 twips from the left and right edges, 96 and 99 from the top and bottom.
        RECT swatch{r.left + TwipsToPixels(145, dpi_), r.top + TwipsToPixels(96, dpi_),
                    r.right - TwipsToPixels(160, dpi_), r.bottom - TwipsToPixels(99, dpi_)};
        if (pushed) OffsetRect(&swatch, 1, 1);
        HBRUSH frame = GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
        FrameRect(dc, &swatch, frame);
        InflateRect(&swatch, -1, -1);
        HBRUSH fill = CreateSolidBrush(Swatch(row->id));
        FillRect(dc, &swatch, fill);
        DeleteObject(fill);
    } else {
        // A triangle pointing right, centred, about half the button's height.
        const int height = std::max<int>(4, (inner.bottom - inner.top) * 5 / 8) & ~1;
        const int width = height * 7 / 8;
        const int left = (inner.left + inner.right - width) / 2, top = (inner.top + inner.bottom - height) / 2;
        POINT points[3] = {{left, top}, {left + width, top + height / 2}, {left, top + height}};
        HBRUSH fill = CreateSolidBrush(GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        HGDIOBJ oldBrush = SelectObject(dc, fill), oldPen = SelectObject(dc, pen);
        Polygon(dc, points, 3);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(fill);
        DeleteObject(pen);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        InflateRect(&focus, -ScaleToDpi(3, dpi_) + 1, -ScaleToDpi(3, dpi_) + 1);
        DrawFocusRect(dc, &focus);
    }
}

void Form::PaintRows(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = SelectObject(dc, fonts_[L""]);
    for (const ControlRow& row : layout_->controls) {
        RECT r{ScaleToDpi(row.x, dpi_), ScaleToDpi(row.y, dpi_), ScaleToDpi(row.x + row.width, dpi_),
               ScaleToDpi(row.y + row.height, dpi_)};
        if (row.kind == ControlKind::Line) {
            DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        } else if (row.kind == ControlKind::Picture) {
            if (HICON icon = Picture(row.id)) {
                const int size = ScaleToDpi(32, dpi_);
                DrawIconEx(dc, r.left, r.top, icon, size, size, 0, nullptr, DI_NORMAL);
            }
        } else if (row.kind == ControlKind::Label || row.kind == ControlKind::Heading ||
                   row.kind == ControlKind::Link) {
            auto set = paintedTexts_.find(row.id);
            const std::wstring text = set != paintedTexts_.end() ? set->second : (row.text ? row.text : L"");
            SelectObject(dc, FontFor(row));
            SetTextColor(dc, row.kind == ControlKind::Link ? kLinkColor : GetSysColor(COLOR_WINDOWTEXT));
            const UINT prefix = (row.style & SS_NOPREFIX) || row.kind != ControlKind::Label ? DT_NOPREFIX : 0;
            DrawTextW(dc, text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | prefix);
        }
    }
    SelectObject(dc, previousFont);
}

void Form::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls hold the old fonts until Layout hands them the new ones.
    std::map<std::wstring, HFONT> previous;
    previous.swap(fonts_);
    MakeFonts();
    Layout();
    for (auto& [key, font] : previous)
        if (font) DeleteObject(font);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyClientSize();
    OnNewDpi();
}

INT_PTR Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The pointer is the dialog's to choose first (a busy window shows the hourglass).
    if (msg == WM_SETCURSOR) {
        if (INT_PTR handled = OnMessage(msg, wp, lp)) return handled;
    }
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lp) OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const ControlRow* row = RowOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
        // A greyed or read-only box asks too; it keeps the grey of a box that takes no input.
        if (!row || row->kind == ControlKind::Edit) break;
        const bool onPane = row->page != 0 && paneBrush_;
        if (!onPane && row->kind != ControlKind::Link) break;
        auto dc = reinterpret_cast<HDC>(wp);
        if (row->kind == ControlKind::Link) SetTextColor(dc, kLinkColor);
        SetBkColor(dc, onPane ? paneColor_ : GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(BackgroundOf(*row));
    }
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
        if (!paneBrush_) break;
        PaintBackground(reinterpret_cast<HDC>(wp));
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_SETCURSOR: {
        const ControlRow* row = RowOf(GetDlgCtrlID(reinterpret_cast<HWND>(wp)));
        // The dialog was asked first (above).
        if (!row || row->kind != ControlKind::Link || !IsWindowEnabled(reinterpret_cast<HWND>(wp))) return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_PAINT:
        if (!layout_->painted) break;
        {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            PaintRows(dc);
            EndPaint(hwnd(), &ps);
        }
        return TRUE;
    case WM_CLOSE:
        // The close box (and Alt+F4) is Cancel, at once.
        OnCancel();
        Close(IDCANCEL);
        return TRUE;
    case kValidateMessage:
        ValidateAfterFocusLeft(static_cast<int>(wp));
        return TRUE;
    case WM_HELP:
        if (layout_->helpId && IsWindowEnabled(Item(layout_->helpId))) OnClick(layout_->helpId);
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_NCDESTROY: {
        auto& open = OpenModeless();
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
        auto& tabbed = TabbedForms();
        tabbed.erase(std::remove(tabbed.begin(), tabbed.end(), this), tabbed.end());
        if (pageKeys_) UnhookWindowsHookEx(pageKeys_);
        pageKeys_ = nullptr;
        ReleasePictures();
        if (paneBrush_) DeleteObject(paneBrush_);
        paneBrush_ = nullptr;
        tabs_ = nullptr;
        tooltip_ = nullptr;  // owned by the dialog, destroyed with it
        break;
    }
    }
    return OnMessage(msg, wp, lp);
}

}  // namespace hv
