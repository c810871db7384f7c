// Drives the real Horavx.exe in the test prefix from outside, through window messages and the registry.
#include <windows.h>
#include <psapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_menu.h"
#include "face/face_win.h"

namespace hv {
namespace {

constexpr wchar_t kKey[] = L"Software\\Kelvane\\Horavox";
constexpr wchar_t kOldKey[] = L"Software\\VB and VBA Program Settings\\Horavox";  // a previous version's
const std::optional<DWORD> kExit1 = 1;

std::wstring ThisFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool KeyExists(const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<DWORD> GetDword(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// PosX PosY Width Height Style Version as stored, "-" where missing.
std::string Stored() {
    std::string text;
    for (const wchar_t* name : {L"PosX", L"PosY", L"Width", L"Height", L"Style", L"Version"}) {
        const std::optional<DWORD> value = GetDword(name);
        text += (text.empty() ? "" : " ");
        text += value ? std::to_string(*value) : "-";
    }
    return text;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(20))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

// A top-level window of process `pid` with that class and title (any if null; a titled one must be visible).
HWND WaitForWindow(DWORD pid, const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 20000) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, title)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && (!title || IsWindowVisible(w))) return (found = w) != nullptr;
        }
        return false;
    }, timeoutMs);
    return found;
}

// A started program; a test that fails midway leaves it to be ended by its own handle.
class Program {
public:
    explicit Program(const std::wstring& exe) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring command = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                  &pi_) != FALSE;
    }
    ~Program() {
        if (!started_) return;
        if (running()) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    // The most memory the program has held so far (its peak working set), in bytes.
    std::size_t PeakMemory() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        return GetProcessMemoryInfo(pi_.hProcess, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
    }
    std::optional<DWORD> WaitExit() const {
        DWORD code = 0;
        if (WaitForSingleObject(pi_.hProcess, 15000) != WAIT_OBJECT_0) return std::nullopt;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    HWND Find(const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 20000) const {
        return WaitForWindow(pi_.dwProcessId, className, title, timeoutMs);
    }
    HWND Main() const { return Find(kMainWindowClass, nullptr); }
    // Waits until the program has done starting up and waits for input (its first idle loop).
    bool Idle() const { return WaitForInputIdle(pi_.hProcess, 20000) == 0; }
    HWND ShownMain() const {
        HWND w = Main();
        return w && WaitUntil([&] { return IsWindowVisible(w) != FALSE; }) ? w : nullptr;
    }
    // The text of the message box with that title, answered with OK.
    std::wstring Answer(const wchar_t* title) const {
        HWND box = Find(L"#32770", title);
        if (!box) return L"(no message box)";
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    bool Close() const {
        if (HWND w = Main()) PostMessageW(w, WM_CLOSE, 0, 0);
        return WaitExit().has_value();
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

bool Topmost(HWND w) { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool HasTitleBar(HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }
void ToggleTitleBar(HWND w) { SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40)); }
void ClickTrayIcon(HWND w, UINT button = WM_LBUTTONDOWN) { SendMessageW(w, kTrayMessage, kTrayIconId, button); }
RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}
bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class HoravxDriveTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kOldKey);
    }
    std::wstring exe = ThisFolder() + L"Horavx.exe";
};

TEST_F(HoravxDriveTest, LibraryOfAnotherVersionOrNoneIsRefusedBeforeTheRegistryIsTouched) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hv_version_test\\", copy = folder + L"Horavx.exe";
    const std::wstring library = folder + L"hvplus.dll";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(exe.c_str(), copy.c_str(), FALSE));
    DeleteFileW(library.c_str());
    const wchar_t* wrongVersion = L"hvplus.dllのバージョンが違います。\r\n正しいバージョンをインストールして下さい。";
    const struct { const wchar_t* version; const wchar_t* message; } cases[] = {
        {nullptr, L"hvplus.dllを読み込めませんでした。"},  // no library beside the program
        {L"65791", wrongVersion}, {L"65793", wrongVersion}, {L"0", wrongVersion}};
    for (const auto& c : cases) {
        if (c.version) {
            ASSERT_TRUE(CopyFileW((ThisFolder() + L"hvplus_fake.dll").c_str(), library.c_str(), FALSE));
        }
        SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", c.version);
        Program program(copy);
        EXPECT_EQ(program.Answer(L"エラー").rfind(c.message, 0), 0u) << c.message;
        EXPECT_EQ(program.WaitExit(), kExit1);
    }
    EXPECT_FALSE(KeyExists(kKey));
    SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", L"65792");  // start-up needs no other export
    {
        Program program(copy);
        EXPECT_NE(program.ShownMain(), nullptr);
        EXPECT_TRUE(program.Close());
    }
    SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", nullptr);
    DeleteFileW(library.c_str());
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(HoravxDriveTest, SplashStaysUpWhileStartingAndIsGoneWhenTheFaceShows) {
    // Settings of a previous version: their question is asked over the splash.
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kOldKey) + L"\\Others").c_str(), L"Version", REG_SZ, L"1.0", 8);
    Program program(exe);
    HWND question = program.Find(L"#32770", L"削除の確認");
    ASSERT_NE(question, nullptr);
    HWND splash = GetWindow(question, GW_OWNER);
    wchar_t caption[64] = L"?";
    GetWindowTextW(splash, caption, 64);
    EXPECT_TRUE(IsWindowVisible(splash));
    EXPECT_STREQ(caption, L"");
    for (HWND b = nullptr; (b = FindWindowExW(splash, b, L"Button", nullptr)) != nullptr;)
        EXPECT_FALSE(IsWindowVisible(b));
    EXPECT_EQ(program.Find(kMainWindowClass, nullptr, 300), nullptr) << "the face before the settings";
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_NE(program.ShownMain(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(splash); }));
    EXPECT_FALSE(KeyExists(kOldKey));
    EXPECT_TRUE(program.Close());
}

TEST_F(HoravxDriveTest, ASecondStartIsRefusedAndBringsTheFirstForwardEveryDayShowsItsColourAndTheHelpMenuWorks) {
    Program program(exe);
    HWND w = program.ShownMain();
    ASSERT_NE(w, nullptr);
    // Hidden in the notification area: after its error box a second start brings it back.
    ClickTrayIcon(w);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
    {
        Program second(exe);
        EXPECT_EQ(second.Answer(L"エラー"), L"既に起動されています");
        EXPECT_EQ(second.WaitExit(), kExit1);
    }
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(w) && !IsIconic(w); }));
    SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);  // nothing may cover it
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    // The same face laid out here, with the same fonts at the same dpi; the screen copied beneath it.
    Settings settings;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const MonthCalendar calendar = ComputeMonthCalendar({now.wYear, now.wMonth, now.wDay});
    FacePainter face(settings, calendar, nullptr);
    HDC screen = GetDC(nullptr), shot = CreateCompatibleDC(screen);
    face.DrawFace(w, shot);
    RECT client;
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    HGDIOBJ old = SelectObject(shot, CreateCompatibleBitmap(screen, client.right, client.bottom));
    auto count = [&](const DayLabel& day, COLORREF color) {
        const DayBox box = DayLabelBox(face.layout(), face.metrics(), day);
        const int dpi = face.dpi();
        int n = 0;
        for (int y = TwipsToPixels(box.top, dpi); y < TwipsToPixels(box.top + box.height, dpi); ++y)
            for (int x = TwipsToPixels(box.left, dpi); x < TwipsToPixels(box.left + box.width, dpi); ++x)
                n += GetPixel(shot, x, y) == color;
        return n;
    };
    // What the program drew reaches the screen when its process next flushes its window:
    // copied again until every day shows its colour (or the wait gives up and the checks fail).
    WaitUntil([&] {
        BitBlt(shot, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        return std::ranges::all_of(face.layout().days, [&](const DayLabel& day) {
            return count(day, day.label.color) > (day.today ? 10 : 0);
        });
    });
    const DayLabel& today = face.layout().days.at(now.wDay - 1u);
    EXPECT_EQ(today.label.color, settings.FontColor[2]);
    // Holidays (FontColor[3]) are among them whenever this month has any. Today's digits
    // reach into the box of the day below, so its column is left out of the last check.
    for (const DayLabel& day : face.layout().days) {
        EXPECT_GT(count(day, day.label.color), day.today ? 10 : 0) << day.day;
        if (day.column != today.column) {
            EXPECT_EQ(count(day, settings.FontColor[2]), 0) << day.day;
        }
    }
    DeleteObject(SelectObject(shot, old));
    DeleteDC(shot);
    ReleaseDC(nullptr, screen);

    PostMessageW(w, WM_COMMAND, kCmdVersionInfo, 0);
    HWND about = program.Find(L"#32770", L"バージョン情報");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), w);
    EXPECT_FALSE(IsWindowEnabled(w)) << "the about box is modal";
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(w); }));

    // The pages open in the user's browser; a prefix without one gets a message naming the page.
    wchar_t browser[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool noBrowser = FAILED(AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, L".html", L"open", browser, &size));
    PostMessageW(w, WM_COMMAND, kCmdTopic, 0);
    if (noBrowser) {
        std::wstring text = program.Answer(L"Horavox");
        EXPECT_EQ(text.rfind(L"ヘルプを開けませんでした。", 0), 0u);
        EXPECT_NE(text.find(L"Horavx\\index.html"), std::wstring::npos);
    }
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(w) != FALSE; }));
    EXPECT_TRUE(program.running());
    EXPECT_TRUE(program.Close());
}

TEST_F(HoravxDriveTest, PlacementTopmostAndTitleBarAreSavedAtCloseAndComeBackAtTheNextStart) {
    const DWORD unknownBit = 0x100;  // a bit this version does not know is kept
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Style", REG_DWORD, &unknownBit, sizeof unknownBit);
    const RECT saved{30, 45, 450, 315};
    {
        // First start: 5400 x 3500 twips, centred, the top at a third of the free height.
        Program program(exe);
        HWND w = program.ShownMain();
        ASSERT_NE(w, nullptr);
        const int left = (GetSystemMetrics(SM_CXSCREEN) - 360) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - 233) / 3;
        EXPECT_TRUE(WindowRect(w) == (RECT{left, top, left + 360, top + 233}));
        EXPECT_FALSE(Topmost(w));
        for (bool on : {true, false, true}) {
            SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
            EXPECT_EQ(Topmost(w), on);
        }
        SetWindowPos(w, nullptr, 30, 45, 420, 270, SWP_NOZORDER);
        ToggleTitleBar(w);
        EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION);
        EXPECT_EQ(GetMenu(w), nullptr);
        EXPECT_TRUE(WindowRect(w) == saved) << "the outer rectangle stays";
        ASSERT_TRUE(program.Close());
    }
    EXPECT_EQ(Stored(), "450 675 6300 4050 259 65537");  // 0x103
    {
        Program program(exe);
        HWND w = program.ShownMain();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return Topmost(w) && !HasTitleBar(w) && !GetMenu(w); }));
        EXPECT_TRUE(WindowRect(w) == saved);
        ToggleTitleBar(w);
        EXPECT_TRUE(HasTitleBar(w));
        EXPECT_NE(GetMenu(w), nullptr);
        SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        PostMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
        ClickTrayIcon(w, WM_RBUTTONDOWN);  // ignored
        ClickTrayIcon(w);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w) && !IsIconic(w); }));
        EXPECT_TRUE(WindowRect(w) == saved);
        SetWindowPos(w, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // moved, then hidden by its icon
        ClickTrayIcon(w);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
        ASSERT_TRUE(program.Close());
    }
    EXPECT_EQ(Stored(), "450 675 6300 4050 260 65537");  // 0x104: hidden in the notification area
    // Hidden at the next start; its icon brings it back where it was.
    Program again(exe);
    HWND w = again.Main();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(again.Idle());
    EXPECT_FALSE(IsWindowVisible(w));
    ClickTrayIcon(w);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
    EXPECT_TRUE(WindowRect(w) == saved);
    EXPECT_TRUE(again.Close());
    EXPECT_EQ(Stored(), "450 675 6300 4050 256 65537");
}

// Moves, sizes and style changes are stored as they happen: a killed program loses none. The
// Restart Manager's close request saves and ends the program.
TEST_F(HoravxDriveTest, PlacementAndStyleAreStoredWhenTheyChangeAndTheRestartManagerClosesTheProgram) {
    {
        Program program(exe);
        HWND w = program.ShownMain();
        ASSERT_NE(w, nullptr);
        SetWindowPos(w, nullptr, 30, 45, 420, 270, SWP_NOZORDER);
        SendMessageW(w, WM_EXITSIZEMOVE, 0, 0);  // the end of a drag by the user
        EXPECT_EQ(Stored(), "450 675 6300 4050 0 65537");
        SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        ToggleTitleBar(w);
        EXPECT_EQ(GetDword(L"Style"), 3u);
    }  // killed
    EXPECT_EQ(Stored(), "450 675 6300 4050 3 65537");
    Program program(exe);
    HWND w = program.ShownMain();
    ASSERT_NE(w, nullptr);
    ClickTrayIcon(w);
    EXPECT_TRUE(WaitUntil([&] { return GetDword(L"Style") == 7u; })) << "hidden in the notification area";
    EXPECT_EQ(SendMessageW(w, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
    SendMessageW(w, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(program.WaitExit(), 0u);
    EXPECT_EQ(Stored(), "450 675 6300 4050 7 65537");
}

// A damaged value of 64 MB in place of a DWORD and of a text: the program starts as quickly as
// without it, with the default in its place, and never holds the value in memory.
TEST_F(HoravxDriveTest, A64MegabyteValueIsNotReadAndItsDefaultTakesItsPlace) {
    struct Start {
        double seconds = 0;
        std::size_t peakBytes = 0;
        LONG width = 0;
    };
    auto start = [&] {
        Start result;
        const auto begin = std::chrono::steady_clock::now();
        Program program(exe);
        HWND w = program.ShownMain();
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        result.peakBytes = program.PeakMemory();
        result.width = WindowRect(w).right - WindowRect(w).left;
        EXPECT_TRUE(program.Close());
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        return result;
    };
    const Start clean = start();
    {
        std::vector<BYTE> huge(64u << 20, 0x41);
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Width", REG_DWORD, huge.data(), DWORD(huge.size()));
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"FontName1", REG_SZ, huge.data(), DWORD(huge.size()));
    }
    const Start damaged = start();
    std::printf("start without / with 64 MB values: %.2f s / %.2f s, peak working set %.1f MB / %.1f MB\n",
                clean.seconds, damaged.seconds, clean.peakBytes / 1048576.0, damaged.peakBytes / 1048576.0);
    EXPECT_EQ(damaged.width, 360);
    ASSERT_GT(clean.peakBytes, 0u);
    EXPECT_LT(damaged.peakBytes, clean.peakBytes + (16u << 20));
}

TEST_F(HoravxDriveTest, ManifestAsksForPerMonitorV2DpiAwarenessAndCommonControls6) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    for (const char* part : {">PerMonitorV2</dpiAwareness>", ">true/pm</dpiAware>",  // the latter before 10 1607
                             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace hv
