// Drives the real Horavx.exe in the test prefix from outside, through window messages and
// the registry: the refusals at start-up, the window's toggles, hiding in the notification
// area, what closing stores, and today's colour on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/main_menu.h"
#include "face/face_win.h"

namespace hv {
namespace {

constexpr wchar_t kKey[] = L"Software\\Kelvane\\Horavox";

std::wstring ThisFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
void PutDword(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof value);
}
std::optional<DWORD> GetDword(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

struct FindArgs {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND w, LPARAM p) {
    auto* args = reinterpret_cast<FindArgs*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != args->pid) return TRUE;
    wchar_t text[256] = {};
    if (args->className) {
        GetClassNameW(w, text, 256);
        if (wcscmp(text, args->className) != 0) return TRUE;
    }
    if (args->title) {
        GetWindowTextW(w, text, 256);
        if (wcscmp(text, args->title) != 0 || !IsWindowVisible(w)) return TRUE;
    }
    args->found = w;
    return FALSE;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, const wchar_t* title, DWORD timeoutMs = 20000) {
    DWORD start = GetTickCount();
    do {
        FindArgs args{pid, className, title, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&args));
        if (args.found) return args.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

BOOL CALLBACK StaticTextProc(HWND w, LPARAM p) {
    wchar_t cls[64] = {}, text[512] = {};
    GetClassNameW(w, cls, 64);
    GetWindowTextW(w, text, 512);
    if (_wcsicmp(cls, L"Static") == 0 && text[0]) {
        *reinterpret_cast<std::wstring*>(p) = text;
        return FALSE;
    }
    return TRUE;
}

// A started program; ended by the test (or killed, by its own handle, if a test fails).
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
        if (started_ && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        if (started_) {
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or nullopt if it does not end in time.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000) const {
        if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    HWND MainWindow() const { return WaitForWindow(pid(), kMainWindowClass, nullptr); }
    // The message box titled "エラー": its text; OK is pressed.
    std::wstring AnswerErrorBox() const {
        HWND box = WaitForWindow(pid(), nullptr, L"エラー");
        if (!box) return L"(no message box)";
        std::wstring text;
        EnumChildWindows(box, StaticTextProc, reinterpret_cast<LPARAM>(&text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    // Closes the main window as the user would and waits for the program to end.
    bool Close() const {
        HWND w = MainWindow();
        if (w) PostMessageW(w, WM_CLOSE, 0, 0);
        return WaitExit().has_value();
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(30);
    }
    return true;
}

class HoravxDriveTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
    std::wstring exe = ThisFolder() + L"Horavx.exe";
};

TEST_F(HoravxDriveTest, SecondStartIsRefusedAndTheFirstKeepsRunning) {
    Program first(exe);
    ASSERT_TRUE(first.started());
    HWND window = first.MainWindow();
    ASSERT_NE(window, nullptr);

    Program second(exe);
    EXPECT_EQ(second.AnswerErrorBox(), L"既に起動されています");
    EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(1));
    EXPECT_EQ(WaitForWindow(second.pid(), kMainWindowClass, nullptr, 200), nullptr);
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(first.Close());
}

TEST_F(HoravxDriveTest, LibraryOfAnotherVersionOrNoneIsRefusedBeforeTheRegistryIsTouched) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hv_version_test\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"Horavx.exe", library = folder + L"hvplus.dll";
    ASSERT_TRUE(CopyFileW(exe.c_str(), copy.c_str(), FALSE));

    DeleteFileW(library.c_str());
    {
        Program program(copy);
        std::wstring text = program.AnswerErrorBox();
        EXPECT_NE(text.find(L"hvplus.dll"), std::wstring::npos) << "missing library: " << text.size();
        EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(1));
    }

    ASSERT_TRUE(CopyFileW((ThisFolder() + L"hvplus_fake.dll").c_str(), library.c_str(), FALSE));
    for (const wchar_t* version : {L"65791", L"65793", L"0"}) {
        SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", version);
        Program program(copy);
        EXPECT_EQ(program.AnswerErrorBox(),
                  L"hvplus.dllのバージョンが違います。\r\n正しいバージョンをインストールして下さい。")
            << "version " << version;
        EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(1));
    }
    // The right version passes the check (the fake lacks the rest, which start-up does not need).
    SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", L"65792");
    {
        Program program(copy);
        EXPECT_NE(program.MainWindow(), nullptr);
        EXPECT_TRUE(program.Close());
    }
    SetEnvironmentVariableW(L"HV_FAKE_HVPLUS_VERSION", nullptr);
    ClearSettings();
    DeleteFileW(library.c_str());
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(HoravxDriveTest, SystemMenuItemTogglesTopmostAndSurvivesARestart) {
    {
        Program program(exe);
        HWND w = program.MainWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);
        ASSERT_TRUE(program.Close());
    }
    EXPECT_EQ(GetDword(L"Style"), std::optional<DWORD>(1));
    Program again(exe);
    HWND w = again.MainWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    EXPECT_TRUE(again.Close());
}

TEST_F(HoravxDriveTest, DoubleClickRemovesAndRestoresTitleBarAndMenuBar) {
    Program program(exe);
    HWND w = program.MainWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_NE(GetMenu(w), nullptr);
    SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(GetMenu(w), nullptr);
    SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_NE(GetMenu(w), nullptr);
    EXPECT_TRUE(program.Close());
    EXPECT_EQ(GetDword(L"Style"), std::optional<DWORD>(0));
}

TEST_F(HoravxDriveTest, MinimiseHidesTrayClickRestoresAndCloseWhileHiddenKeepsThePlacement) {
    PutDword(L"PosX", 1500);
    PutDword(L"PosY", 900);
    {
        Program program(exe);
        HWND w = program.MainWindow();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
        RECT before;
        GetWindowRect(w, &before);
        EXPECT_EQ(before.left, 100);
        EXPECT_EQ(before.top, 60);
        PostMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
        SendMessageW(w, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w) && !IsIconic(w); }));
        RECT after;
        GetWindowRect(w, &after);
        EXPECT_TRUE(EqualRect(&before, &after));
        SetWindowPos(w, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // moved, then hidden
        SendMessageW(w, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
        ASSERT_TRUE(program.Close());
    }
    EXPECT_EQ(GetDword(L"PosX"), std::optional<DWORD>(1500));
    EXPECT_EQ(GetDword(L"PosY"), std::optional<DWORD>(900));
    EXPECT_EQ(GetDword(L"Style"), std::optional<DWORD>(4));
    EXPECT_EQ(GetDword(L"Version"), std::optional<DWORD>(0x10001));

    // Hidden at the next start, its icon brings it back where it was.
    Program again(exe);
    HWND w = again.MainWindow();
    ASSERT_NE(w, nullptr);
    Sleep(500);
    EXPECT_FALSE(IsWindowVisible(w));
    SendMessageW(w, kTrayMessage, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
    RECT rect;
    GetWindowRect(w, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_TRUE(again.Close());
    EXPECT_EQ(GetDword(L"Style"), std::optional<DWORD>(0));
}

TEST_F(HoravxDriveTest, CloseWritesPlacementStyleAndVersion) {
    Program program(exe);
    HWND w = program.MainWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
    SetWindowPos(w, nullptr, 30, 45, 420, 270, SWP_NOZORDER);
    ASSERT_TRUE(program.Close());
    EXPECT_EQ(GetDword(L"PosX"), std::optional<DWORD>(450));
    EXPECT_EQ(GetDword(L"PosY"), std::optional<DWORD>(675));
    EXPECT_EQ(GetDword(L"Width"), std::optional<DWORD>(6300));
    EXPECT_EQ(GetDword(L"Height"), std::optional<DWORD>(4050));
    EXPECT_EQ(GetDword(L"Style"), std::optional<DWORD>(0));
    EXPECT_EQ(GetDword(L"Version"), std::optional<DWORD>(0x10001));
}

// Pixels of `color` on the screen inside `box` (screen coordinates).
int CountOnScreen(const RECT& box, COLORREF color) {
    HDC screen = GetDC(nullptr);
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) n += GetPixel(screen, x, y) == color;
    ReleaseDC(nullptr, screen);
    return n;
}

TEST_F(HoravxDriveTest, TodaysLabelOnTheScreenCarriesTodaysColour) {
    Program program(exe);
    HWND w = program.MainWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
    SendMessageW(w, WM_SYSCOMMAND, kCmdAlwaysOnTop, 0);  // nothing may cover it
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(300);

    // Lay the face out here as the program does, with the same fonts at the same dpi.
    Settings settings;
    SYSTEMTIME now;
    GetLocalTime(&now);
    MonthCalendar calendar = ComputeMonthCalendar({now.wYear, now.wMonth, now.wDay});
    const int dpi = WindowDpi(w);
    RECT client;
    GetClientRect(w, &client);
    HDC dc = CreateCompatibleDC(nullptr);
    FaceMetrics metrics;
    HFONT header = CreateFaceFont(settings, 1, dpi), days = CreateFaceFont(settings, 2, dpi);
    HGDIOBJ old = SelectObject(dc, header);
    MeasureText(dc, kHeaderText, dpi, metrics.headerWidth, metrics.headerHeight);
    SelectObject(dc, days);
    double unused;
    MeasureText(dc, kDigitPairText, dpi, metrics.digitPairWidth, unused);
    MeasureText(dc, kDigitText, dpi, unused, metrics.digitHeight);
    SelectObject(dc, old);
    DeleteObject(header);
    DeleteObject(days);
    DeleteDC(dc);
    FaceLayout layout =
        LayoutFace(settings, calendar, PixelsToTwips(client.right, dpi), PixelsToTwips(client.bottom, dpi), metrics);

    const DayLabel& today = layout.days.at(static_cast<size_t>(now.wDay - 1));
    DayBox box = DayLabelBox(layout, metrics, today);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    RECT onScreen{origin.x + TwipsToPixels(box.left, dpi), origin.y + TwipsToPixels(box.top, dpi),
                  origin.x + TwipsToPixels(box.left + box.width, dpi),
                  origin.y + TwipsToPixels(box.top + box.height, dpi)};
    EXPECT_GT(CountOnScreen(onScreen, settings.FontColor[2]), 10);
    // No other day is in today's colour.
    const DayLabel& other = layout.days.at(static_cast<size_t>(now.wDay == 1 ? 1 : 0));
    DayBox otherBox = DayLabelBox(layout, metrics, other);
    RECT otherOnScreen{origin.x + TwipsToPixels(otherBox.left, dpi), origin.y + TwipsToPixels(otherBox.top, dpi),
                       origin.x + TwipsToPixels(otherBox.left + otherBox.width, dpi),
                       origin.y + TwipsToPixels(otherBox.top + otherBox.height, dpi)};
    EXPECT_EQ(CountOnScreen(otherOnScreen, settings.FontColor[2]), 0);
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace hv
