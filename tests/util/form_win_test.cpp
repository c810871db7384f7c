// The form layer's checks of typed boxes, on a small form of its own.
#include "util/form_win.h"

#include <gtest/gtest.h>

#include "tests/support/dialog_driver_win.h"

namespace hv {
namespace {

constexpr int kIdGrey = 10, kIdHide = 11, kIdNumber = 12;
constexpr ControlRow kRows[]{{kIdGrey, ControlKind::CheckBox, L"灰色", 8, 8, 120, 20},
                            {kIdHide, ControlKind::CheckBox, L"隠す", 8, 32, 120, 20},
                            {kIdNumber, ControlKind::Edit, L"1", 8, 56, 80, 23},
                            {IDOK, ControlKind::DefaultButton, L"OK", 8, 88, 80, 26}};
const FormLayout kLayout{L"数字", 200, 150, kRows};

// Takes digits only; its check boxes grey or hide the box.
class NumberForm : public Form {
public:
    NumberForm() : Form(kLayout) {}
    void OnClick(int id) override {
        if (id == kIdGrey) Enable(kIdNumber, false);
        if (id == kIdHide) Show(kIdNumber, false);
    }
    bool OnValidate(int id) override { return Edit(id).Text().find_first_not_of(L"0123456789") == std::wstring::npos; }
};

// A box the user still sees is refused as the focus leaves it (Tab) and at OK; one that the
// click taking the focus greys or hides is refused neither then nor at OK.
TEST(FormTest, OnlyABoxTheUserCanStillMendIsRefused) {
    for (const int leaveBy : {0, kIdGrey, kIdHide}) {
        NumberForm form;
        hvtest::DialogScript script([leaveBy](hvtest::Driver& d) {
            d.Type(kIdNumber, L"x");
            leaveBy ? d.Click(leaveBy) : d.Key(VK_TAB);
            EXPECT_EQ(hvtest::Focus(d.dialog()) == d.Item(kIdNumber), leaveBy == 0) << leaveBy;
            d.Click(IDOK);
            if (IsWindow(d.dialog()) && IsWindowVisible(d.dialog())) d.Key(VK_ESCAPE);
        });
        EXPECT_EQ(form.RunModal(nullptr), leaveBy == 0 ? IDCANCEL : IDOK) << leaveBy;
    }
}

}  // namespace
}  // namespace hv
