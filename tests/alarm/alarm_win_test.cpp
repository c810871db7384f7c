// The alarm actions against the real winmm, shell and windows; message boxes are answered by a catcher.
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "alarm/alarm_win.h"
#include "hvplus/program_identity.h"
#include "tests/alarm/test_sound_win.h"
#include "tests/support/dialog_driver_win.h"
#include "tests/support/message_box_catcher_win.h"

// Alarms are written with designated initializers; the members left out keep their defaults.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace hv {
namespace {

using hvtest::WindowText;

using hvtest::kClip;
using hvtest::WavePlaying;

std::wstring TempFile(const wchar_t* name, const char* content) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
        std::fputs(content, f);
        std::fclose(f);
    }
    return path;
}

class AlarmActionsTest : public ::testing::Test {
protected:
    void SetUp() override { actions_.SetProgramIcon(programIcon_); }
    void TearDown() override {
        if (HWND dialog = actions_.DialogWindow()) DestroyWindow(dialog);
        actions_.StopAllSounds();
    }
    std::wstring DialogMessage() { return WindowText(GetDlgItem(actions_.DialogWindow(), 101)); }
    HICON DialogIcon() { return actions_.DialogIcon(); }
    RECT DialogRect() {
        RECT r{};
        GetWindowRect(actions_.DialogWindow(), &r);
        return r;
    }

    std::string archived_, archiveLog_;
    AlarmActions actions_{L"C:\\Horavox\\", [this](HWND, const std::string& command, const std::string& log) {
                              archived_ = command;
                              archiveLog_ = log;
                          }};
    HICON programIcon_ = LoadIconW(nullptr, IDI_WARNING);
};

TEST_F(AlarmActionsTest, ABlankAlarmOnlySoundsAndTheNextAlarmsOkSilencesIt) {
    AlarmEntry sounding{.Message = L"    ", .WavFile = kClip, .Loop = true};
    actions_.FireAlarm(sounding, false);
    EXPECT_EQ(sounding.Message, L"");
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    Sleep(300);
    EXPECT_TRUE(WavePlaying()) << "the looping wave should still play through the sink";

    AlarmEntry alarm{.Message = L"   会議の時間です  ", .DialogPosition = DialogPosition::BottomRight};
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    actions_.FireAlarm(alarm, false);
    GetLocalTime(&after);
    EXPECT_EQ(alarm.Message, L"会議の時間です");
    HWND dialog = actions_.DialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(DialogMessage(), L"会議の時間です");
    std::wstring caption = WindowText(dialog);
    EXPECT_TRUE(caption == AlarmCaptionAt(before) || caption == AlarmCaptionAt(after)) << "caption";
    EXPECT_EQ(DialogRect().right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(DialogRect().bottom, GetSystemMetrics(SM_CYSCREEN));

    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    EXPECT_FALSE(WavePlaying()) << "OK stops the other alarm's sound";
}

std::vector<HWND> alerts;  // the windows whose alerts a screen reader was told of

TEST_F(AlarmActionsTest, ASecondAlarmUpdatesTheOpenDialogButNotItsCaptionAndEachMessageIsAnAlert) {
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND source, LONG, LONG, DWORD, DWORD) { alerts.push_back(source); },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    AlarmEntry first{.Message = L"一つ目", .DialogPosition = DialogPosition::TopLeft,
                     .IconFile = L"C:\\windows\\system32\\shell32.dll", .IconIndex = 3};
    actions_.FireAlarm(first, false);
    HWND dialog = actions_.DialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(DialogIcon(), nullptr);
    EXPECT_NE(DialogIcon(), programIcon_) << "the icon from shell32.dll";
    SetWindowTextW(dialog, L"marker");

    // An existing file without icons falls back to the program's icon; position 6 stays put.
    AlarmEntry second{.Message = L"二つ目 & 三つ目", .DialogPosition = static_cast<DialogPosition>(6),
                      .IconFile = TempFile(L"hv_no_icons.txt", "text")};
    actions_.FireAlarm(second, false);
    EXPECT_EQ(actions_.DialogWindow(), dialog);
    EXPECT_EQ(WindowText(dialog), L"marker");
    EXPECT_EQ(DialogMessage(), L"二つ目 & 三つ目");
    EXPECT_EQ(DialogIcon(), programIcon_);
    EXPECT_EQ(DialogRect().left + DialogRect().top, 0);
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    EXPECT_EQ(alerts, (std::vector<HWND>(2, GetDlgItem(dialog, 101))));

    // The close box confirms too, and the next alarm loads a fresh caption.
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    actions_.FireAlarm(first, false);
    ASSERT_NE(actions_.DialogWindow(), nullptr);
    EXPECT_NE(WindowText(actions_.DialogWindow()), L"marker");
}

TEST_F(AlarmActionsTest, AModalDialogReturnsOnlyAfterOk) {
    hvtest::DialogScript ok([](hvtest::Driver& d) { d.Click(IDOK); });
    AlarmEntry alarm{.Message = L"テスト"};
    actions_.FireAlarm(alarm, true);
    ok.Join();
    EXPECT_TRUE(ok.found());
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
}

TEST_F(AlarmActionsTest, AnAlarmTriedFromItsSettingsComesInItsOwnWindowAndAnUnreadNoticeStays) {
    AlarmEntry real{.Message = L"会議の時間です"}, tried{.Message = L"テスト"};
    actions_.FireAlarm(real, false);
    HWND notice = actions_.DialogWindow(), shown = nullptr;
    bool noticeShownMeanwhile = false;
    std::thread user([&] {
        for (int i = 0; i < 500 && !shown; ++i, Sleep(20))
            for (HWND w = nullptr; !shown && (w = FindWindowExW(nullptr, w, L"#32770", nullptr));)
                if (w != notice && IsWindowVisible(w) && GetDlgItem(w, 101)) shown = w;  // a notice
        noticeShownMeanwhile = IsWindowVisible(notice) != FALSE;
        if (shown) hvtest::Driver(shown).Click(IDOK);
    });
    actions_.FireAlarm(tried, true);
    user.join();
    EXPECT_TRUE(shown && noticeShownMeanwhile && actions_.DialogWindow() == notice && DialogMessage() == L"会議の時間です");
}

TEST_F(AlarmActionsTest, FailedMciCommandsAreReportedAndTheMessageStepStillFollows) {
    AlarmEntry midi{.Message = L"MIDI", .SoundKind = SoundKind::Midi, .MidFile = L"C:\\no such folder\\wake.mid"};
    // No CD drive in the test prefix; a blank message shows nothing.
    AlarmEntry cd{.SoundKind = SoundKind::CdAudio, .CdRandom = true, .CdTrackCount = 4};
    AlarmEntry quoted{.SoundKind = SoundKind::Midi, .MidFile = kClip + L"\" wait"};
    for (AlarmEntry* alarm : {&cd, &quoted, &midi}) {
        hvtest::MessageBoxCatcher catcher;
        actions_.FireAlarm(*alarm, false);
        ASSERT_EQ(catcher.boxes.size(), 1u);
        EXPECT_EQ(catcher.boxes[0].caption, kMciErrorTitle);
        EXPECT_FALSE(catcher.boxes[0].text.empty()) << "the box names the failure";
        EXPECT_EQ(actions_.LastMciError(), 0u) << "the result of the closing \"close all\"";
        EXPECT_EQ(actions_.DialogWindow() != nullptr, alarm == &midi);
    }
    EXPECT_EQ(DialogMessage(), L"MIDI");
}

// The stand-in program beside the test: writes the document it is given into "<document>.opened".
std::wstring StandInProgram() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::wstring(self, wcsrchr(self, L'\\') + 1) + L"hvopened.exe";
}

// ".hvdoc" documents open with the stand-in. Registered per user, as a user's own association
// is; Wine's HKEY_CLASSES_ROOT shows only the machine's classes, so there under HKLM as well.
class DocumentAssociation {
public:
    DocumentAssociation() {
        const std::wstring command = L"\"" + StandInProgram() + L"\" \"%1\"";
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            Set(root, L"Software\\Classes\\.hvdoc", L"Horavox.TestDocument");
            Set(root, L"Software\\Classes\\Horavox.TestDocument\\shell\\open\\command", command);
            HKEY seen = nullptr;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".hvdoc", 0, KEY_READ, &seen) != ERROR_SUCCESS) continue;
            RegCloseKey(seen);
            break;
        }
    }
    ~DocumentAssociation() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            for (const wchar_t* key : {L"Software\\Classes\\.hvdoc", L"Software\\Classes\\Horavox.TestDocument"})
                RegDeleteTreeW(root, key);
    }

private:
    static void Set(HKEY root, const wchar_t* key, const std::wstring& value) {
        const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        RegSetKeyValueW(root, key, nullptr, REG_SZ, value.c_str(), size);
    }
};

std::wstring WaitForFile(const std::wstring& path) {
    wchar_t text[MAX_PATH] = {};
    for (int i = 0; i < 200 && !text[0]; ++i, Sleep(50)) {
        if (FILE* f = _wfopen(path.c_str(), L"rb")) {
            std::fread(text, sizeof(wchar_t), MAX_PATH - 1, f);
            std::fclose(f);
        }
    }
    return text;
}

TEST_F(AlarmActionsTest, CommandsGoToTheShellAsOneItemOrToTheArchiver) {
    DocumentAssociation association;
    const std::wstring document = TempFile(L"hv alarm document.hvdoc", "Horavox\r\n"), opened = document + L".opened";
    DeleteFileW(opened.c_str());
    AlarmEntry alarm{.Message = L"#EXEC " + document};  // a name with a space: one item, not split
    {
        hvtest::MessageBoxCatcher failure;
        actions_.FireAlarm(alarm, false);
        EXPECT_TRUE(failure.boxes.empty()) << "the shell refused the document";
    }
    EXPECT_EQ(WaitForFile(opened), document);
    DeleteFileW(opened.c_str());

    // A program followed by its argument is one item the shell cannot find.
    alarm.Message = L"#exec " + StandInProgram() + L" " + document;
    hvtest::MessageBoxCatcher failure;
    actions_.FireAlarm(alarm, false);
    ASSERT_EQ(failure.boxes.size(), 1u);
    EXPECT_EQ(std::tuple(failure.boxes[0].caption, failure.boxes[0].text), std::tuple(kProgramTitle, kShellFailedText));
    Sleep(300);
    EXPECT_EQ(GetFileAttributesW(opened.c_str()), INVALID_FILE_ATTRIBUTES) << "the program ran after all";

    alarm.Message = L"#exec    lha a C:\\backup.lzh C:\\memo.txt";
    actions_.FireAlarm(alarm, false);
    EXPECT_EQ(archived_, "a C:\\backup.lzh C:\\memo.txt");
    EXPECT_EQ(archiveLog_, "C:\\Horavox\\log.txt");
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
}

TEST(AlarmCaptionAt, UsesTheLocaleWeekdayName) {
    SYSTEMTIME t{2026, 6, 0, 7, 14, 5, 0, 0};
    EXPECT_EQ(AlarmCaptionAt(t), L"アラーム時刻になりました - 7日(日) 2時5分pm");
}

}  // namespace
}  // namespace hv
