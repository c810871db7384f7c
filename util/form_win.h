// The layer every dialog of the program is written on. A dialog is a layout table (one row
// per control: kind, caption, place), the values it works on, and its handlers; the layer
// does the rest:
// - creates the controls in table order, which is also the Tab order, with the system's
//   UI font (or the face a row names) and the tooltips the rows ask for;
// - lays everything out at the dpi of the dialog's monitor, and again when that changes;
// - shows one tab page at a time, on the tab pane's own colour (Ctrl+Tab turns the pages);
// - shows the icons of Picture rows, and destroys those it was given to own;
// - runs the keyboard: Tab, arrow keys within option groups, access keys, Enter presses
//   the default button, Esc cancels;
// - validates a text box when the focus leaves it and before OK, and refuses bad input
//   the program's way (a beep, the whole text selected, the focus kept);
// - runs the dialog modal, or modeless with its keys routed by the program's message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "util/window_win.h"

namespace hv {

// The face of the dialogs' OK, Cancel and Help buttons, and of the version window.
inline constexpr wchar_t kDialogButtonFont[] = L"MS UI Gothic";

enum class ControlKind {
    Label,          // static text; its access key moves the focus to the next control
    Frame,          // group box; likewise
    Button,         // push button
    DefaultButton,  // the push button Enter presses
    CheckBox,
    Option,         // radio button; consecutive rows of options form one group
    Edit,           // one-line text box
    Spinner,        // up and down arrows working the Edit row just before it
    Slider,
    Tabs,           // tab strip; `text` lists the tabs' captions separated by '|'
    Combo,          // drop-down list; the row's height includes the opened list
    ColorSwatch,    // push button that shows a colour in an inset rectangle
    Progress,
    Picture,        // shows an icon, centred
    PlayButton,     // push button that shows a "play" triangle; `text` names it
    Line,           // etched horizontal separator
    Heading,        // static text in a larger bold face
    Link,           // underlined text in link blue under a hand pointer; a click is OnClick
    List,           // a list of lines in columns, one chosen at a time; `text` lists the columns'
                    // captions separated by '|'; a line activated (double click) is OnClick
    Hotkey,         // takes a key combination as it is pressed; Backspace clears it
    // Hotkey is the last kind: the layer's table of what each kind is made of counts on it.
};

struct ControlRow {
    int id;
    ControlKind kind;
    const wchar_t* text;      // the caption exactly as shown, "&" before the access key
    int x, y, width, height;  // in the client area, pixels at 96 dpi
    DWORD style = 0;          // added to the kind's own styles
    int page = 0;             // 0: always shown; n: only on the tab strip's n-th tab page
    const wchar_t* tip = nullptr;
    const wchar_t* fontFace = nullptr;  // null: the form's font
};

// The OK, キャンセル and ヘルプ buttons that close a settings dialog, in the dialogs' button face.
constexpr ControlRow OkButtonRow(int x, int y, int width, int height) {
    return {IDOK, ControlKind::DefaultButton, L"&OK", x, y, width, height, 0, 0, nullptr, kDialogButtonFont};
}
constexpr ControlRow CancelButtonRow(int x, int y, int width, int height) {
    return {IDCANCEL, ControlKind::Button, L"キャンセル", x, y, width, height, 0, 0, nullptr, kDialogButtonFont};
}
constexpr ControlRow HelpButtonRow(int id, int x, int y, int width, int height) {
    return {id, ControlKind::Button, L"ヘルプ(&H)", x, y, width, height, 0, 0, nullptr, kDialogButtonFont};
}

// A form: its table of rows and its frame. Written with designated initialisers, naming only
// what differs from the defaults: {.caption = L"...", .width = 380, .height = 324, .controls = kRows}.
struct FormLayout {
    const wchar_t* caption = nullptr;
    int width = 0, height = 0;  // client area, pixels at 96 dpi
    std::span<const ControlRow> controls;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    DWORD exStyle = 0;
    int helpId = 0;                     // the button F1 presses; 0: none
    const wchar_t* fontFace = nullptr;  // null: the system's message font
    int fontPoints = 9;                 // with `fontFace`
    // The rows are painted instead of made into controls (only texts, links, lines and
    // pictures show): for a window that must appear before the common controls are
    // loaded, such as the start-up splash.
    bool painted = false;
};

// Typed views of the controls; each is a window handle and costs nothing to copy.
struct CheckBox {
    HWND hwnd;
    bool Checked() const;
    void SetChecked(bool on) const;
};

// Radio buttons with consecutive ids; index -1 is "none selected".
struct OptionGroup {
    HWND dialog;
    int firstId;
    int count;
    int Selected() const;
    // Selects `index` alone (any index outside the group clears them all); the selected
    // button is the one Tab lands on.
    void Select(int index) const;
};

struct EditBox {
    HWND hwnd;
    std::wstring Text() const;
    // Replaces the text; a text set here does not count as the user's change.
    void SetText(const std::wstring& text) const;
    void SetLimit(int characters) const;
};

// Up-down arrows: the upper one counts up to the maximum, the lower one down to the
// minimum; neither wraps.
struct Spinner {
    HWND hwnd;
    int Value() const;
    void SetValue(int value) const;
    void SetRange(int minimum, int maximum) const;
};

struct Slider {
    HWND hwnd;
    int Value() const;
    void SetValue(int value) const;
    void SetRange(int minimum, int maximum) const;
};

struct ComboBox {
    HWND hwnd;
    void Clear() const;
    int Add(const std::wstring& text) const;
    int Count() const;
    int Selected() const;  // -1: none
    void Select(int index) const;
    std::wstring ItemText(int index) const;
};

// A key combination: bits 0-7 the virtual key, bit 8 Shift, 9 Ctrl, 10 Alt; 0 none.
struct HotkeyBox {
    HWND hwnd;
    std::uint16_t Value() const;
    void SetValue(std::uint16_t hotkey) const;
};
struct ListView {
    HWND hwnd;
    // The lines, each a text per column; the chosen line is kept where it can be.
    void SetLines(const std::vector<std::vector<std::wstring>>& lines) const;
    int Selected() const;  // -1: none
    void Select(int index) const;
    // Each column as wide as its widest text or its caption, in the list's font now.
    void FitColumns() const;
};

struct ProgressBar {
    HWND hwnd;
    void SetRange(int minimum, int maximum) const;
    void SetValue(int value) const;
};

class Form : public Dialog {
public:
    explicit Form(const FormLayout& layout) { UseLayout(layout); }
    ~Form() override;

    // Runs the dialog modal to `owner`; the result of Close, or -1 when it could not be made.
    INT_PTR RunModal(HWND owner);
    // Shows the dialog modeless; false when it could not be made.
    bool ShowModeless(HWND owner);
    // For the program's message loop: keyboard handling of the open modeless dialogs.
    static bool RouteDialogMessage(MSG* msg);

    HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
    int dpi() const { return dpi_; }
    // Ends a modal dialog with `result`, or destroys a modeless one.
    void Close(INT_PTR result);

    CheckBox Check(int id) const { return {Item(id)}; }
    OptionGroup Options(int firstId, int count) const { return {hwnd(), firstId, count}; }
    EditBox Edit(int id) const { return {Item(id)}; }
    Spinner Spin(int id) const { return {Item(id)}; }
    Slider SliderAt(int id) const { return {Item(id)}; }
    ComboBox Combo(int id) const { return {Item(id)}; }
    ListView List(int id) const { return {Item(id)}; }
    ProgressBar Progress(int id) const { return {Item(id)}; }
    HotkeyBox Hotkey(int id) const { return {Item(id)}; }
    void Enable(int id, bool on) const;
    // Shows or hides a control for the dialog's own reasons; a hidden control of a tab page
    // stays hidden when its page comes up.
    void Show(int id, bool on);
    void SetText(int id, const std::wstring& text);
    // Adds `words` to the name screen readers read for a box (after its label's), for boxes
    // one label names together: "発声しないとき" becomes "発声しないとき 開始 時".
    void AddToName(int id, const std::wstring& words);
    // What screen readers read as the form's description after its caption (a notice's message).
    void Describe(const std::wstring& text);

    // The colour a ColorSwatch row shows (COLORREF).
    void SetSwatch(int id, COLORREF color);
    COLORREF Swatch(int id) const;
    // The icon a Picture row shows; an `owned` icon is destroyed when replaced or closed.
    void SetPicture(int id, HICON icon, bool owned);
    HICON Picture(int id) const;

    // The tab strip's page (counted from 1); showing a page hides the others' controls.
    void ShowPage(int page);
    int Page() const { return page_; }
    // Ctrl+Tab (+1) and Ctrl+Shift+Tab (-1), also Ctrl+PageDown/PageUp: the next or previous
    // page, wrapping, as the user's choice. As for a click on a tab: every box the user
    // changed is taken first (a refused one brings its page back), then OnValueChanged of the
    // tab strip; a focus left on a control of the hidden page moves to the tab strip.
    void TurnPage(int delta);

    // A new client size (pixels at 96 dpi), kept when the dpi changes; a window that grows
    // past the bottom of its screen moves up.
    void ResizeClient(int width, int height);

    // The program's answer to input it does not take: the default beep, the focus back in
    // the box (its tab page shown), its whole text selected.
    void Refuse(int editId);

protected:
    // The window the dialog was opened for (null: none).
    HWND owner() const { return owner_; }

    // Takes every box the user changed and has not left yet (OnValidate); false, with the
    // first refused box refused, when one is not taken. OK does this before OnOk.
    bool TakePendingEdits();

    // Another layout for the next run (a window shown in two guises); not while it is open.
    void UseLayout(const FormLayout& layout);

    // The controls exist and are laid out: fill them from the dialog's values.
    virtual void OnLoad() {}
    // The layer has laid the form out again at a new dpi (dpi()): for what the dialog draws or
    // places itself (an icon drawn for the dpi, a window of its own among the rows).
    virtual void OnNewDpi() {}
    // A button, check box or option was pressed (by mouse, Space or access key).
    virtual void OnClick(int) {}
    // The user changed a spinner, slider, combo box, tab strip or the text of a box.
    virtual void OnValueChanged(int) {}
    // The focus leaves a box whose text the user changed, or OK is pressed while its
    // change is pending: take the text (true) or refuse it (false; the layer refuses).
    virtual bool OnValidate(int) { return true; }
    // OK, after every pending box was taken: true closes the dialog.
    virtual bool OnOk() { return true; }
    // Cancel, Esc or the close box, just before the dialog closes.
    virtual void OnCancel() {}
    // Messages the layer does not handle.
    virtual INT_PTR OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }

    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Whether the user can go back to the box to mend it: enabled, and shown or only on
    // another tab page. Only such a box is checked when the focus leaves it or before OK; a
    // box the dialog has greyed or hidden meanwhile is never refused.
    bool Mendable(int editId) const;
    const ControlRow* RowOf(int id) const;
    // The run of options `option` belongs to (their ids are consecutive).
    OptionGroup GroupOf(const ControlRow& option) const;
    void CreateControls();
    // Invalidates what shows row `id` (a swatch or a picture changed).
    void RedrawRow(int id, bool erase) const;
    // Every box without a caption of its own is named for screen readers after its label.
    void NameControls();
    // Publishes `name` as the name of the control of `row`.
    void Name(HWND control, const ControlRow& row, const std::wstring& name);
    void Layout();
    void ApplyClientSize();
    void CenterOnOwner();
    void MakeFonts();
    void FreeFonts();
    HFONT FontFor(const ControlRow& row) const;
    void OnCommand(int id, int code, HWND control);
    INT_PTR OnNotify(const NMHDR& header);
    void OnScroll(HWND control, int code);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void PaintRows(HDC dc);
    // The tab pane's colour, read from the strip's own drawing, for the pages' controls.
    void TakePaneColor();
    // Behind a control of `row`: the pane's brush on a tab page, else the dialog's.
    HBRUSH BackgroundOf(const ControlRow& row) const;
    void PaintBackground(HDC dc);
    void AfterPageShown(int tabsId);
    void ValidateAfterFocusLeft(int id);
    void PressOk();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void ReleasePictures();
    static LRESULT CALLBACK PageKeys(int code, WPARAM wp, LPARAM lp);

    const FormLayout* layout_ = nullptr;
    int clientWidth_ = 0, clientHeight_ = 0;  // 96-dpi pixels
    HWND owner_ = nullptr;
    bool modal_ = false;
    bool closing_ = false;
    int dpi_ = 96;
    int page_ = 1;
    std::vector<HWND> controls_;           // in table order
    std::map<std::wstring, HFONT> fonts_;  // by face; "" is the form's font
    HWND tooltip_ = nullptr;
    std::map<int, COLORREF> swatches_;
    std::set<int> hidden_;  // controls the dialog hid (Show)
    std::map<int, std::wstring> names_;  // the names NameControls gave, by id
    std::map<int, std::wstring> paintedTexts_;  // texts set on a painted form
    struct PictureSlot {
        HICON icon = nullptr;
        bool owned = false;
    };
    std::map<int, PictureSlot> pictures_;
    HWND tabs_ = nullptr;           // the tab strip, if the form has one
    COLORREF paneColor_ = 0;
    HBRUSH paneBrush_ = nullptr;    // null: no tab strip, or a pane in the dialog's colour
    HHOOK pageKeys_ = nullptr;  // a form with a tab strip sees Ctrl+Tab before the dialog manager
};

}  // namespace hv
