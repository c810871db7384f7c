// The open-file and colour choosers, opened for real and closed by a helper thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/dialog_driver_win.h"
#include "util/common_dialogs_win.h"

namespace {

using hvtest::DialogScript;
using hvtest::Driver;
using namespace std::string_literals;

// A custom colour defined in one chooser is kept, with the table's other colours, for the
// next one; cancelling is -1, which no colour is (black is 0).
TEST(ColorDialog, CancelledAndAccepted) {
    hv::CustomColorTable table{};
    table[3] = RGB(1, 2, 3);
    DialogScript define([](Driver& d) {
        HWND dialog = d.dialog();
        auto click = [&](int id) {
            auto button = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), button);
        };
        click(0x2CF);  // "Define custom colours"
        for (int i = 0; i < 3; ++i) SetDlgItemInt(dialog, 0x2C2 + i, 10 * (i + 1), FALSE);  // red, green, blue
        click(0x2C8);  // "Add to custom colours"
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(hv::ShowColorDialog(nullptr, RGB(200, 0, 0), table), hv::kColorDialogCancelled);
    define.Join();
    ASSERT_TRUE(define.found());
    EXPECT_EQ(std::tuple(table[0], table[3]), std::tuple(RGB(10, 20, 30), RGB(1, 2, 3)));

    for (COLORREF initial : {RGB(0, 0, 0), RGB(0x33, 0x66, 0x99)}) {
        DialogScript ok([](Driver& d) { d.Click(IDOK); });
        EXPECT_EQ(hv::ShowColorDialog(nullptr, initial, table), static_cast<std::int32_t>(initial));
    }
    EXPECT_EQ(table[0], RGB(10, 20, 30));
}

TEST(OpenFileDialog, CancelledAndAccepted) {
    DialogScript cancel([](Driver& d) { d.Click(IDCANCEL); });
    EXPECT_EQ(hv::ShowOpenFileDialog(nullptr, L"サウンドファイル (*.wav)\0*.wav\0"s), L"");
    cancel.Join();
    EXPECT_TRUE(cancel.found());

    // Wine's own dialog fails on paths longer than 259 characters: a long path cannot be tried here.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hv_open_file_test " + std::wstring(40, L'x');
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\アラーム音.wav";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DialogScript choose([&](Driver& d) {
        HWND dialog = d.dialog();
        SetDlgItemTextW(dialog, 0x47C, file.c_str());  // the file name box
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        // Should the dialog refuse the name, do not leave it open.
        for (int waited = 0; IsWindow(dialog) && waited < 30000; waited += 20) Sleep(20);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(hv::ShowOpenFileDialog(nullptr, L"WAVE (*.wav)\0*.wav\0"s), file);
    choose.Join();
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
