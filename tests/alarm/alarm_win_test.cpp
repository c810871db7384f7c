// The alarm actions against the real winmm, shell and windows: a wave through the session's
// audio sink, MCI errors from a missing MIDI file and an absent CD drive, shell commands, the
// notification dialog. Message boxes are closed by a watcher thread that finds them by title.
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "alarm/alarm_win.h"

namespace hv {
namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(*text == '/' ? '\\' : *text);
    return wide;
}

const std::wstring kClip = Widen(HV_CLIPS_DIR "/10.wav");

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Waits on its own thread for a visible top-level window whose title is `title` (or contains
// it, when `partial`), remembers the text of its message and closes it.
class WindowCloser {
public:
    explicit WindowCloser(std::wstring title, bool partial = false, UINT closeMessage = WM_CLOSE)
        : title_(std::move(title)), partial_(partial), closeMessage_(closeMessage) {
        thread_ = std::thread([this] { Run(); });
    }
    ~WindowCloser() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool found() { return found_.load(); }
    std::wstring text() {
        Join();
        return text_;
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM param) {
        auto* self = reinterpret_cast<WindowCloser*>(param);
        if (!IsWindowVisible(window)) return TRUE;
        std::wstring title = WindowText(window);
        bool match = self->partial_ ? title.find(self->title_) != std::wstring::npos : title == self->title_;
        if (!match) return TRUE;
        self->match_ = window;
        return FALSE;
    }
    void Run() {
        for (int i = 0; i < 400 && !match_; ++i) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            if (!match_) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        if (!match_) return;
        // A message box keeps its text in a static control with id 0xFFFF.
        if (HWND label = GetDlgItem(match_, 0xFFFF)) text_ = WindowText(label);
        found_ = true;
        if (closeMessage_ == WM_COMMAND) PostMessageW(match_, WM_COMMAND, IDOK, 0);
        else PostMessageW(match_, closeMessage_, 0, 0);
    }

    std::wstring title_;
    bool partial_;
    UINT closeMessage_;
    HWND match_ = nullptr;
    std::wstring text_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};

// Whether a wave sound the program started is still playing: PlaySound with SND_NOSTOP
// refuses while another sound plays.
bool WavePlaying() {
    if (!PlaySoundW(kClip.c_str(), nullptr, SND_ASYNC | SND_NOSTOP | SND_FILENAME | SND_NODEFAULT)) return true;
    PlaySoundW(nullptr, nullptr, 0);
    return false;
}

void Pump(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

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
    void SetUp() override {
        programIcon_ = LoadIconW(nullptr, IDI_WARNING);
        actions_.SetProgramIcon(programIcon_);
    }
    void TearDown() override {
        if (HWND dialog = actions_.DialogWindow()) DestroyWindow(dialog);
        actions_.StopAllSounds();
    }
    HWND OkButton() { return GetDlgItem(actions_.DialogWindow(), IDOK); }
    std::wstring DialogMessage() { return WindowText(GetDlgItem(actions_.DialogWindow(), 101)); }
    HICON DialogIcon() {
        return reinterpret_cast<HICON>(SendDlgItemMessageW(actions_.DialogWindow(), 102, STM_GETICON, 0, 0));
    }

    std::string archived_, archiveLog_;
    AlarmActions actions_{L"C:\\Horavox\\", [this](HWND, const std::string& command, const std::string& log) {
                              archived_ = command;
                              archiveLog_ = log;
                          }};
    HICON programIcon_ = nullptr;
};

TEST_F(AlarmActionsTest, WaveAlarmPlaysUntilOkAndTheDialogShowsTheTrimmedMessage) {
    AlarmEntry alarm;
    alarm.WavFile = kClip;
    alarm.Loop = true;
    alarm.Message = L"   会議の時間です  ";
    alarm.DialogPosition = DialogPosition::BottomRight;
    SYSTEMTIME before;
    GetLocalTime(&before);
    actions_.FireAlarm(alarm, false);

    EXPECT_EQ(alarm.Message, L"会議の時間です");
    HWND dialog = actions_.DialogWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(DialogMessage(), L"会議の時間です");
    std::wstring caption = WindowText(dialog);
    SYSTEMTIME after;
    GetLocalTime(&after);
    EXPECT_TRUE(caption == AlarmCaptionAt(before) || caption == AlarmCaptionAt(after)) << "caption";
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));

    Pump(300);
    EXPECT_TRUE(WavePlaying()) << "the looping wave should still play through the sink";
    SendMessageW(OkButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    EXPECT_FALSE(WavePlaying()) << "OK stops the sound";
}

TEST_F(AlarmActionsTest, ASecondAlarmUpdatesTheOpenDialogButNotItsCaption) {
    AlarmEntry first;
    first.Message = L"一つ目";
    first.IconFile = L"C:\\windows\\system32\\shell32.dll";
    first.IconIndex = 3;
    first.DialogPosition = DialogPosition::TopLeft;
    actions_.FireAlarm(first, false);
    HWND dialog = actions_.DialogWindow();
    ASSERT_NE(dialog, nullptr);
    HICON firstIcon = DialogIcon();
    EXPECT_NE(firstIcon, nullptr);
    EXPECT_NE(firstIcon, programIcon_) << "the icon from shell32.dll";
    SetWindowTextW(dialog, L"marker");

    // An existing file without icons falls back to the program's icon; position 6 stays put.
    AlarmEntry second;
    second.Message = L"二つ目 & 三つ目";
    second.IconFile = TempFile(L"hv_no_icons.txt", "text");
    second.DialogPosition = static_cast<DialogPosition>(6);
    actions_.FireAlarm(second, false);
    EXPECT_EQ(actions_.DialogWindow(), dialog);
    EXPECT_EQ(WindowText(dialog), L"marker");
    EXPECT_EQ(DialogMessage(), L"二つ目 & 三つ目");
    EXPECT_EQ(DialogIcon(), programIcon_);
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);

    // Closed by the close box: sounds stop too, and the next alarm loads a fresh caption.
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    actions_.FireAlarm(first, false);
    ASSERT_NE(actions_.DialogWindow(), nullptr);
    EXPECT_NE(WindowText(actions_.DialogWindow()), L"marker");
}

TEST_F(AlarmActionsTest, ModalDialogReturnsAfterOkWithTheOtherWindowsDisabledMeanwhile) {
    HWND other = CreateWindowExW(0, L"STATIC", L"hv other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    std::atomic<bool> otherWasDisabled{false};
    std::thread clicker([&] {
        for (int i = 0; i < 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
            HWND dialog = actions_.DialogWindow();
            if (dialog && IsWindowVisible(dialog)) {
                otherWasDisabled = !IsWindowEnabled(other);
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
        }
    });
    AlarmEntry alarm;
    alarm.Message = L"テスト";
    actions_.FireAlarm(alarm, true);
    clicker.join();
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    EXPECT_TRUE(otherWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(other));
    DestroyWindow(other);
}

TEST_F(AlarmActionsTest, BlankMessageOnlySounds) {
    AlarmEntry alarm;
    alarm.WavFile = kClip;
    alarm.Loop = true;
    alarm.Message = L"    ";
    actions_.FireAlarm(alarm, false);
    EXPECT_EQ(alarm.Message, L"");
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
    EXPECT_TRUE(WavePlaying());
    actions_.StopAllSounds();
    EXPECT_FALSE(WavePlaying());
}

TEST_F(AlarmActionsTest, MissingMidiFileReportsTheMciErrorThenShowsTheMessage) {
    AlarmEntry alarm;
    alarm.SoundKind = SoundKind::Midi;
    alarm.MidFile = L"C:\\no such folder\\wake.mid";
    alarm.Message = L"MIDI";
    WindowCloser closer(kMciErrorTitle);
    actions_.FireAlarm(alarm, false);
    EXPECT_TRUE(closer.found()) << "no box titled MCIのエラー";
    EXPECT_FALSE(closer.text().empty()) << "the box names the failure";
    EXPECT_EQ(actions_.LastMciError(), 0u) << "the result of the closing \"close all\"";
    ASSERT_NE(actions_.DialogWindow(), nullptr);
    EXPECT_EQ(DialogMessage(), L"MIDI");
}

TEST_F(AlarmActionsTest, CdAudioWithoutADriveReportsTheMciError) {
    AlarmEntry alarm;
    alarm.SoundKind = SoundKind::CdAudio;
    alarm.CdRandom = true;
    alarm.CdTrackCount = 4;
    WindowCloser closer(kMciErrorTitle);
    actions_.FireAlarm(alarm, false);
    EXPECT_TRUE(closer.found());
    EXPECT_FALSE(closer.text().empty());
    EXPECT_EQ(actions_.DialogWindow(), nullptr) << "blank message: no dialog";
    // The same command string directly: it fails, and its result is what LastMciError holds.
    MCIERROR result = actions_.SendMciCommand(L"play cdaudio from 1");
    EXPECT_NE(result, 0u);
    EXPECT_EQ(actions_.LastMciError(), result);
}

// Opening a document through its association is not checked here: the test prefix has no
// working association for .txt, so the shell refuses it there.
TEST_F(AlarmActionsTest, ShellRefusesAProgramWithAnArgumentAsOneItem) {
    std::wstring document = TempFile(L"hv_alarm_document.txt", "Horavox\r\n");
    AlarmEntry alarm;
    alarm.Message = L"#exec notepad.exe " + document;
    WindowCloser failure(kAppTitle, false, WM_COMMAND);
    actions_.FireAlarm(alarm, false);
    EXPECT_TRUE(failure.found());
    EXPECT_EQ(failure.text(), kShellFailedText);
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
}

TEST_F(AlarmActionsTest, LowerCaseLhaGoesToTheArchiverWithTheLogBesideTheProgram) {
    AlarmEntry alarm;
    alarm.Message = L"#exec    lha a C:\\backup.lzh C:\\memo.txt";
    actions_.FireAlarm(alarm, false);
    EXPECT_EQ(archived_, "a C:\\backup.lzh C:\\memo.txt");
    EXPECT_EQ(archiveLog_, "C:\\Horavox\\log.txt");
    EXPECT_EQ(actions_.DialogWindow(), nullptr);
}

TEST(AlarmCaptionAt, UsesTheLocaleWeekdayName) {
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 6;
    t.wDay = 7;
    t.wDayOfWeek = 0;
    t.wHour = 14;
    t.wMinute = 5;
    EXPECT_EQ(AlarmCaptionAt(t), L"アラーム時刻になりました - 7日(日) 2時5分pm");
}

}  // namespace
}  // namespace hv
