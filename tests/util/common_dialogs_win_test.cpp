// The open-file and colour choosers, opened for real and closed by a helper thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/util/dialog_driver_win.h"
#include "util/common_dialogs_win.h"

namespace {

using hvtest::DialogDriver;
using hvtest::Press;

// Control ids of the system's colour dialog.
constexpr int kDefineCustomColors = 0x2CF;
constexpr int kRedEdit = 0x2C2, kGreenEdit = 0x2C3, kBlueEdit = 0x2C4;
constexpr int kAddCustomColor = 0x2C8;
// The file name box of the open-file dialog.
constexpr int kFileNameCombo = 0x47C;

TEST(ColorDialog, CancelIsMinusOneAndKeepsTheCustomColours) {
    hv::CustomColorTable table{};
    table[3] = RGB(1, 2, 3);
    std::wstring title;
    DialogDriver driver([&](HWND dialog) {
        title = hvtest::WindowText(dialog);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(hv::ShowColorDialog(nullptr, RGB(0, 0, 0), table), hv::kColorDialogCancelled);
    driver.Join();
    ASSERT_TRUE(driver.found());
    EXPECT_EQ(table[3], RGB(1, 2, 3));
    EXPECT_EQ(table[0], 0u);
}

TEST(ColorDialog, OkReturnsThePresetColour) {
    hv::CustomColorTable table{};
    DialogDriver driver([](HWND dialog) { Press(dialog, IDOK); });
    // Black is a colour like any other, not a cancel.
    EXPECT_EQ(hv::ShowColorDialog(nullptr, RGB(0, 0, 0), table), 0);
    driver.Join();
    DialogDriver again([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(hv::ShowColorDialog(nullptr, RGB(0x33, 0x66, 0x99), table), RGB(0x33, 0x66, 0x99));
}

TEST(ColorDialog, CustomColourIsKeptForTheNextDialog) {
    hv::CustomColorTable table{};
    DialogDriver driver([](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kDefineCustomColors, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kDefineCustomColors)));
        SetDlgItemInt(dialog, kRedEdit, 10, FALSE);
        SetDlgItemInt(dialog, kGreenEdit, 20, FALSE);
        SetDlgItemInt(dialog, kBlueEdit, 30, FALSE);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kAddCustomColor, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kAddCustomColor)));
        Press(dialog, IDCANCEL);
    });
    hv::ShowColorDialog(nullptr, RGB(200, 0, 0), table);
    driver.Join();
    EXPECT_EQ(table[0], RGB(10, 20, 30));

    // The next dialog is handed the table and offers the colour again (and keeps it).
    DialogDriver next([](HWND dialog) { Press(dialog, IDCANCEL); });
    hv::ShowColorDialog(nullptr, RGB(0, 0, 0), table);
    next.Join();
    EXPECT_EQ(table[0], RGB(10, 20, 30));
}

TEST(OpenFileDialog, CancelGivesEmptyText) {
    using namespace std::string_literals;
    DialogDriver driver([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(hv::ShowOpenFileDialog(nullptr, L"サウンドファイル (*.wav)\0*.wav\0"s), L"");
    driver.Join();
    EXPECT_TRUE(driver.found());
}

// The chosen file comes back as a full path. (Wine's own dialog fails on paths longer
// than 259 characters, so the long-path case cannot be tried here.)
TEST(OpenFileDialog, ChosenFileIsReturnedAsItsFullPath) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hv_open_file_test " + std::wstring(40, L'x');
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\アラーム音.wav";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    using namespace std::string_literals;
    hvtest::DialogDriver driver([&](HWND dialog) {
        SetDlgItemTextW(dialog, kFileNameCombo, file.c_str());
        Press(dialog, IDOK);
        // Should the dialog refuse the name, do not leave it open.
        for (int waited = 0; IsWindow(dialog) && waited < 3000; waited += 20) Sleep(20);
        if (IsWindow(dialog)) Press(dialog, IDCANCEL);
    });
    std::wstring chosen = hv::ShowOpenFileDialog(nullptr, L"WAVE (*.wav)\0*.wav\0"s);
    driver.Join();
    EXPECT_EQ(chosen, file);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
