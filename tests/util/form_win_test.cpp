// What the form layer does for every form, on a small tabbed form of its own: a dialog's
// tests keep only that dialog's rules.
#include "util/form_win.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <functional>
#include <vector>

#include "tests/support/dialog_driver_win.h"
#include "util/time_box_win.h"

namespace hv {
namespace {

using hvtest::Driver;
using hvtest::Focus;
using K = ControlKind;

constexpr int kIdGrey = 10, kIdHide = 11, kIdNumber = 12, kIdOption = 20, kIdOther = 30, kIdTabs = 40, kIdLink = 41;
constexpr ControlRow kRows[] = {
    {kIdGrey, K::CheckBox, L"灰色", 8, 8, 120, 20},
    {kIdHide, K::CheckBox, L"隠す", 8, 32, 120, 20},
    {kIdOption + 0, K::Option, L"一", 16, 88, 60, 20, 0, 1},
    {kIdOption + 1, K::Option, L"二", 16, 110, 60, 20, 0, 1},
    {kIdOption + 2, K::Option, L"三", 16, 132, 60, 20, 0, 1},
    {kIdNumber, K::Edit, L"1", 100, 88, 80, 23, 0, 1},
    {kIdOther, K::Edit, L"", 16, 88, 80, 23, 0, 2},
    OkButtonRow(8, 200, 80, 26),
    CancelButtonRow(96, 200, 80, 26),
    {kIdTabs, K::Tabs, L"一|二", 8, 60, 220, 130},
    {kIdLink, K::Link, L"a@b.example", 180, 204, 56, 16},
};
const FormLayout kLayout{.caption = L"数字", .width = 240, .height = 234, .controls = kRows};

// Takes digits only; its check boxes grey or hide the box.
class NumberForm : public Form {
public:
    NumberForm() : Form(kLayout) {}
    void OnLoad() override { Options(kIdOption, 3).Select(0); }
    void OnClick(int id) override {
        if (id == kIdGrey) Enable(kIdNumber, false);
        if (id == kIdHide) Show(kIdNumber, false);
        linkClicks += id == kIdLink;
    }
    void OnValueChanged(int id) override {
        if (id == kIdTabs) pagesSeen.push_back(Page());
    }
    bool OnValidate(int id) override {
        ++validations;
        return Edit(id).Text().find_first_not_of(L"0123456789") == std::wstring::npos;
    }
    void OnNewDpi() override { newDpis.push_back(dpi()); }

    int validations = 0, linkClicks = 0;
    std::vector<int> pagesSeen, newDpis;
};

INT_PTR RunScripted(NumberForm& form, const std::function<void(Driver&)>& script) {
    hvtest::DialogScript running(script);
    const INT_PTR result = form.RunModal(nullptr);
    running.Join();
    EXPECT_TRUE(running.found());
    return result;
}

bool TabStop(const Driver& d, int id) { return GetWindowLongPtrW(d.Item(id), GWL_STYLE) & WS_TABSTOP; }

// A box the user still sees is refused as the focus leaves it (Tab) and at OK; one that the
// click taking the focus greys or hides is refused neither then nor at OK.
TEST(FormTest, OnlyABoxTheUserCanStillMendIsRefused) {
    for (const int leaveBy : {0, kIdGrey, kIdHide}) {
        NumberForm form;
        const INT_PTR result = RunScripted(form, [leaveBy](Driver& d) {
            d.Type(kIdNumber, L"x");
            leaveBy ? d.Click(leaveBy) : d.Key(VK_TAB);
            EXPECT_EQ(Focus(d.dialog()) == d.Item(kIdNumber), leaveBy == 0) << leaveBy;
            if (leaveBy == 0) EXPECT_TRUE(hvtest::WholeTextSelected(d.Item(kIdNumber)));
            d.Click(IDOK);
            if (IsWindow(d.dialog()) && IsWindowVisible(d.dialog())) d.Key(VK_ESCAPE);
        });
        EXPECT_EQ(result, leaveBy == 0 ? IDCANCEL : IDOK) << leaveBy;
    }
}

TEST(FormTest, EveryFormRunsTheSameKeyboardPagesAndDpi) {
    struct Case {
        const char* what;
        std::function<void(Driver&, NumberForm&)> script;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Cancel and Esc close over a wrong entry without asking it",
         [](Driver& d, NumberForm& form) {
             d.Type(kIdNumber, L"x");
             d.Key(VK_ESCAPE);
             EXPECT_EQ(form.validations, 0);
         },
         IDCANCEL},
        {"an option group's one Tab stop follows the selection",
         [](Driver& d, NumberForm&) {
             d.Click(kIdOption + 2);
             EXPECT_EQ(std::tuple(TabStop(d, kIdOption), TabStop(d, kIdOption + 1), TabStop(d, kIdOption + 2)),
                       std::tuple(false, false, true));
             d.Key(VK_ESCAPE);
         },
         IDCANCEL},
        {"Ctrl+Tab takes the page's boxes first: a refused one brings its page back",
         [](Driver& d, NumberForm& form) {
             d.Type(kIdNumber, L"x");
             d.ControlKey(VK_TAB);
             EXPECT_EQ(std::tuple(form.Page(), Focus(d.dialog()) == d.Item(kIdNumber), d.Visible(kIdOther)),
                       std::tuple(1, true, false));
             d.Type(kIdNumber, L"7");
             d.ControlKey(VK_TAB);
             d.ControlKey(VK_TAB, true);  // Ctrl+Shift+Tab wraps back
             d.ControlKey(VK_TAB, true);
             EXPECT_EQ(form.pagesSeen, (std::vector<int>{1, 2, 1, 2}));
             d.Key(VK_RETURN);
         },
         IDOK},
        {"a link is a Tab stop that Enter and Space open",
         [](Driver& d, NumberForm& form) {
             SendMessageW(d.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.Item(kIdTabs)), TRUE);
             d.Key(VK_TAB);
             EXPECT_EQ(Focus(d.dialog()), d.Item(kIdLink));
             d.Key(VK_RETURN);
             d.Key(VK_SPACE);
             EXPECT_EQ(form.linkClicks, 2);
             d.Key(VK_ESCAPE);
         },
         IDCANCEL},
        {"a new dpi lays the form out again, then tells the dialog",
         [](Driver& d, NumberForm& form) {
             RECT suggested, client, ok;
             GetWindowRect(d.dialog(), &suggested);
             SendMessageW(d.dialog(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
             GetClientRect(d.dialog(), &client);
             GetWindowRect(d.Item(IDOK), &ok);
             EXPECT_EQ(std::tuple(client.right, client.bottom, ok.right - ok.left, ok.bottom - ok.top, form.newDpis),
                       std::tuple(360, 351, 120, 39, std::vector<int>{144}));
             d.Key(VK_ESCAPE);
         },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NumberForm form;
        EXPECT_EQ(RunScripted(form, [&](Driver& d) { c.script(d, form); }), c.result);
    }
}

// A swatch or a picture set while its row has no control (the form not made yet) redraws no
// other window: a null window handle would have the whole desktop repainted.
TEST(FormTest, ASwatchOrPictureSetWithoutItsControlRedrawsNoOtherWindow) {
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr,
                                 nullptr);
    ValidateRect(other, nullptr);
    NumberForm form;
    form.SetSwatch(kIdGrey, RGB(1, 2, 3));
    form.SetPicture(kIdGrey, nullptr, false);
    EXPECT_FALSE(GetUpdateRect(other, nullptr, FALSE));
    DestroyWindow(other);
}

// Every Tab stop reads a name: its caption, or the label before it (with an access key), which
// stands right before its box even when the table puts another text between them; a spinner and
// a slider, which show no text, carry it as theirs. Read from each control's own object. (A
// drop-down list is named after its label the same way, but Wine's object reads its selection.)
TEST(FormTest, EveryTabStopHasTheNameOfItsCaptionOrItsLabel) {
    constexpr int kIdName = 50, kIdSpin = 51, kIdSize = 52, kIdFace = 53, kIdPlay = 54, kIdSwatch = 55;
    constexpr ControlRow kNamed[] = {
        {60, K::Label, L"名前(&N):", 8, 8, 80, 18},         {61, K::Label, L"注", 8, 30, 80, 18},
        {kIdName, K::Edit, L"太郎", 90, 8, 80, 23},         {kIdSpin, K::Spinner, nullptr, 170, 8, 17, 23},
        {62, K::Label, L"サイズ(&S):", 8, 60, 80, 18},       {63, K::Label, L"小", 90, 60, 20, 18},
        {kIdSize, K::Slider, nullptr, 110, 56, 100, 30},    {64, K::Label, L"書体(&F):", 8, 100, 80, 18},
        {kIdFace, K::Combo, nullptr, 90, 96, 120, 200},     {kIdPlay, K::PlayButton, L"テスト再生", 8, 140, 40, 30},
        {kIdSwatch, K::ColorSwatch, L"今日", 60, 140, 73, 25}, OkButtonRow(8, 200, 80, 26),
        CancelButtonRow(96, 200, 80, 26),
    };
    const FormLayout layout{.caption = L"名札", .width = 240, .height = 234, .controls = kNamed};
    struct TimedForm : Form {  // the box and its spinner are a time's hour
        using Form::Form;
        TimeBoxes times{*this, TimeBoxInput::Digits, {{kIdName, kMaxHour, [] { return 0; }, [](int) {}, L"開始"}}};
        void OnLoad() override { times.Load(); }
    } form(layout);
    hvtest::DialogScript running([&](Driver& d) {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        constexpr GUID kIidAccessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
        for (const auto& [id, name] : {std::pair{kIdName, L"名前"}, {kIdSpin, L"名前 開始 時"}, {kIdSize, L"サイズ"},
                                       {kIdPlay, L"テスト再生"}, {kIdSwatch, L"今日"},
                                       {IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}}) {
            IAccessible* object = nullptr;
            BSTR read = nullptr;
            VARIANT self{};
            self.vt = VT_I4;
            if (SUCCEEDED(AccessibleObjectFromWindow(d.Item(id), OBJID_CLIENT, kIidAccessible, (void**)&object)))
                object->get_accName(self, &read), object->Release();
            EXPECT_NE(std::wstring(read ? read : L"").find(name), std::wstring::npos) << id;
            SysFreeString(read);
        }
        CoUninitialize();
        d.Key(VK_TAB);
        d.AccessKey(L'n');  // the label's access key still reaches its box
        EXPECT_EQ(Focus(d.dialog()), d.Item(kIdName));
        d.Key(VK_ESCAPE);
    });
    form.RunModal(nullptr);
    running.Join();
    EXPECT_TRUE(running.found());
}

}  // namespace
}  // namespace hv
