// The face painter against real GDI: the colours that land on the window, backgrounds,
// pictures, translucency, and that repaints leave no GDI object behind.
#include "face/face_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace hv {
namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 300;

// A plain visible window to paint on.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HvFacePainterTest";
        RegisterClassW(&wc);
        RECT r{0, 0, kClientWidth, kClientHeight};
        AdjustWindowRect(&r, WS_POPUP, FALSE);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"face test", WS_POPUP | WS_VISIBLE, 20, 20,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        Pump();
    }
    ~TestWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

private:
    HWND hwnd_ = nullptr;
};

// The window's client pixels as COLORREF values, row by row from the top.
class Capture {
public:
    explicit Capture(HWND window) {
        HDC dc = GetDC(window);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, kClientWidth, kClientHeight);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, kClientWidth, kClientHeight, dc, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kClientWidth;
        info.bmiHeader.biHeight = -kClientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<DWORD> bgra(kClientWidth * kClientHeight);
        GetDIBits(memory, bitmap, 0, kClientHeight, bgra.data(), &info, DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, dc);
        pixels_.reserve(bgra.size());
        for (DWORD p : bgra) pixels_.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y * kClientWidth + x)]; }
    int Count(int left, int top, int right, int bottom, COLORREF color) const {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, kClientHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(right, kClientWidth); ++x) n += At(x, y) == color;
        return n;
    }
    int CountAll(COLORREF color) const { return Count(0, 0, kClientWidth, kClientHeight, color); }

private:
    std::vector<COLORREF> pixels_;
};

// Pixels of `color` inside the box of day `day`'s label.
int CountInDay(const FacePainter& face, const Capture& capture, int day, COLORREF color) {
    const DayLabel& d = face.layout().days.at(static_cast<size_t>(day - 1));
    const int dpi = face.dpi();
    int left = TwipsToPixels(d.label.x, dpi), top = TwipsToPixels(d.label.y, dpi);
    int right = left + TwipsToPixels(face.metrics().digitPairWidth, dpi) + 1;
    int bottom = top + TwipsToPixels(face.metrics().digitHeight, dpi) + 1;
    return capture.Count(left, top, right, bottom, color);
}

// May 2026: starts on a Friday; the 3rd to the 6th are holidays (the 3rd a Sunday).
MonthCalendar May2026(int today) {
    MonthCalendar calendar = ComputeMonthCalendar({2026, 5, today});
    EXPECT_EQ(calendar.Holidays[1], 3);
    EXPECT_EQ(calendar.Holidays[4], 6);
    return calendar;
}

class FacePainterTest : public ::testing::Test {
protected:
    Settings settings;
    MonthCalendar calendar = May2026(20);
    TestWindow window;
};

TEST_F(FacePainterTest, DefaultFaceColoursTodayHolidaysWeekendsAndHeader) {
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    face.DrawFace(window.hwnd());
    Capture capture(window.hwnd());

    EXPECT_GT(CountInDay(face, capture, 20, settings.FontColor[2]), 0);  // today, a Wednesday
    EXPECT_EQ(CountInDay(face, capture, 20, settings.FontColor[4]), 0);
    EXPECT_GT(CountInDay(face, capture, 4, settings.FontColor[3]), 0);  // a Monday holiday
    EXPECT_EQ(CountInDay(face, capture, 4, settings.FontColor[4]), 0);
    EXPECT_GT(CountInDay(face, capture, 6, settings.FontColor[3]), 0);  // the substitute holiday
    EXPECT_GT(CountInDay(face, capture, 10, settings.FontColor[3]), 0);  // a Sunday
    EXPECT_GT(CountInDay(face, capture, 9, settings.FontColor[5]), 0);   // a Saturday
    EXPECT_GT(CountInDay(face, capture, 12, settings.FontColor[4]), 0);  // a Tuesday
    EXPECT_GT(capture.Count(0, 0, kClientWidth, 20, settings.FontColor[1]), 0);  // the header row
    EXPECT_EQ(capture.At(kClientWidth - 1, kClientHeight - 1), settings.BackgroundColor[1]);
}

TEST_F(FacePainterTest, ShadowIsDrawnOnlyInAColourOfItsOwn) {
    FacePainter face(settings, calendar, nullptr);
    face.DrawFace(window.hwnd());
    EXPECT_EQ(Capture(window.hwnd()).CountAll(RGB(0, 0, 0)), 0);

    settings.FontColor[6] = RGB(0, 0, 0);
    face.DrawFace(window.hwnd());
    Capture capture(window.hwnd());
    EXPECT_GT(CountInDay(face, capture, 12, RGB(0, 0, 0)), 0);
    EXPECT_GT(CountInDay(face, capture, 12, settings.FontColor[4]), 0);  // the label over its shadow
}

TEST_F(FacePainterTest, GradationComesFromTheGradientPainterUnderTheLabels) {
    const COLORREF left = RGB(10, 20, 200), right = RGB(250, 200, 10);
    std::vector<long> directions;
    GradientPainter halves = [&](HWND w, COLORREF first, COLORREF second, long direction) {
        EXPECT_EQ(w, window.hwnd());
        EXPECT_EQ(first, left);
        EXPECT_EQ(second, right);
        directions.push_back(direction);
        HDC dc = GetDC(w);
        RECT r{0, 0, kClientWidth / 2, kClientHeight};
        HBRUSH a = CreateSolidBrush(first), b = CreateSolidBrush(second);
        FillRect(dc, &r, a);
        r = {kClientWidth / 2, 0, kClientWidth, kClientHeight};
        FillRect(dc, &r, b);
        DeleteObject(a);
        DeleteObject(b);
        ReleaseDC(w, dc);
    };
    settings.BackgroundColor[1] = left;
    settings.BackgroundColor[2] = right;
    settings.Gradation = Gradation::LeftToRight;
    FacePainter face(settings, calendar, halves);
    face.DrawFace(window.hwnd());
    Capture capture(window.hwnd());
    EXPECT_EQ(capture.At(0, kClientHeight - 1), left);
    EXPECT_EQ(capture.At(kClientWidth - 1, kClientHeight - 1), right);
    EXPECT_GT(CountInDay(face, capture, 20, settings.FontColor[2]), 0);

    settings.Gradation = Gradation::TopToBottom;
    face.DrawFace(window.hwnd());
    settings.Gradation = Gradation::None;  // plain: the painter is not called
    face.DrawFace(window.hwnd());
    EXPECT_EQ((std::vector<long>{1, 0}), directions);
    EXPECT_EQ(Capture(window.hwnd()).At(0, kClientHeight - 1), left);
    EXPECT_EQ(Capture(window.hwnd()).At(kClientWidth - 1, kClientHeight - 1), left);
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// A 24-bit bottom-up bitmap file of one colour.
void WriteBitmap(const std::wstring& path, int width, int height, COLORREF color) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < width; ++x) {
        row[static_cast<size_t>(3 * x)] = GetBValue(color);
        row[static_cast<size_t>(3 * x + 1)] = GetGValue(color);
        row[static_cast<size_t>(3 * x + 2)] = GetRValue(color);
    }
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = 0; y < height; ++y) bytes.append(reinterpret_cast<const char*>(row.data()), row.size());
    WriteBytes(path, bytes);
}

TEST_F(FacePainterTest, PictureIsDrawnUnscaledFromTheTopLeftOverTheBackColour) {
    const std::wstring path = TempFile(L"hv_face_picture.bmp");
    WriteBitmap(path, 120, 80, RGB(0, 0, 255));
    settings.BackgroundKind = BackgroundKind::Image;
    settings.ImageFile = path;
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    ASSERT_EQ(settings.BackgroundKind, BackgroundKind::Image);
    face.DrawFace(window.hwnd());
    Capture capture(window.hwnd());
    // Row 0 is empty up to Friday the 1st.
    EXPECT_EQ(capture.At(5, 60), RGB(0, 0, 255));
    EXPECT_EQ(capture.At(119, 79), RGB(0, 0, 255));
    EXPECT_EQ(capture.At(121, 60), settings.BackgroundColor[1]);
    EXPECT_EQ(capture.At(5, 81), settings.BackgroundColor[1]);
    DeleteFileW(path.c_str());
}

TEST_F(FacePainterTest, PictureThatCannotLoadFallsBackToThePlainColourInMemory) {
    const std::wstring notAPicture = TempFile(L"hv_face_not_a_picture.jpg");
    WriteBytes(notAPicture, "this is text");
    for (const std::wstring& path : {TempFile(L"hv_face_missing.bmp"), notAPicture}) {
        settings.BackgroundKind = BackgroundKind::Image;
        settings.ImageFile = path;
        FacePainter face(settings, calendar, nullptr);
        face.ApplyBackground();
        EXPECT_EQ(settings.BackgroundKind, BackgroundKind::Plain);
        EXPECT_TRUE(settings.ImageFile.empty());
        face.DrawFace(window.hwnd());
        EXPECT_EQ(Capture(window.hwnd()).At(5, 60), settings.BackgroundColor[1]);
    }
    DeleteFileW(notAPicture.c_str());

    // A picture that does not load keeps the one already there (the dialogs rely on it).
    FacePicture picture;
    ASSERT_TRUE(picture.Load(L"Z:" HV_SOURCE_DIR L"/app/horavx.ico"));
    EXPECT_FALSE(picture.Load(TempFile(L"hv_face_missing.bmp")));
    EXPECT_FALSE(picture.empty());
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// A metafile of 100 x 100 logical units filled with one colour, recorded through GDI.
void FillRecording(HDC dc, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ old = SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 101, 101);
    SelectObject(dc, old);
    DeleteObject(brush);
}

void WriteEnhancedMetafile(const std::wstring& path, COLORREF color) {
    RECT frame{0, 0, 2646, 2646};  // HIMETRIC: 100 pixels at 96 dpi
    HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
    FillRecording(dc, color);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

// A placeable metafile (the form picture loaders read): a 22-byte header before the bits.
void WritePlaceableMetafile(const std::wstring& path, COLORREF color) {
    HDC dc = CreateMetaFileW(nullptr);
    SetWindowExtEx(dc, 100, 100, nullptr);
    FillRecording(dc, color);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::string bits(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(metafile);
    WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 100, 100, 96, 0, 0, 0};  // 100 units at 96 per inch
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    WriteBytes(path, std::string(reinterpret_cast<const char*>(header), sizeof header) + bits);
}

TEST_F(FacePainterTest, EveryOfferedPictureFormatLoadsAndDraws) {
    const std::wstring pictures = L"Z:" HV_SOURCE_DIR L"/tests/face/pictures/";
    const std::wstring bmp = TempFile(L"hv_face_format.bmp"), dib = TempFile(L"hv_face_format.dib");
    const std::wstring emf = TempFile(L"hv_face_format.emf"), wmf = TempFile(L"hv_face_format.wmf");
    const std::wstring cur = TempFile(L"hv_face_format.cur");
    WriteBitmap(bmp, 100, 100, RGB(200, 0, 0));
    WriteBitmap(dib, 100, 100, RGB(200, 0, 0));
    WriteEnhancedMetafile(emf, RGB(0, 0, 200));
    WritePlaceableMetafile(wmf, RGB(0, 0, 200));
    // A cursor file is an icon file with resource type 2 (and hot spots where the icon has
    // planes and bit counts).
    std::string cursor = ReadBytes(L"Z:" HV_SOURCE_DIR L"/app/horavx.ico");
    ASSERT_GT(cursor.size(), 22u);
    cursor[2] = 2;
    WriteBytes(cur, cursor);

    struct Case {
        std::wstring path;
        COLORREF color;  // at (5, 60); 0xFFFFFFFF: not checked
    };
    const Case cases[] = {{bmp, RGB(200, 0, 0)}, {dib, RGB(200, 0, 0)}, {pictures + L"green.jpg", 0xFFFFFFFF},
                          {emf, RGB(0, 0, 200)},  {wmf, RGB(0, 0, 200)}, {L"Z:" HV_SOURCE_DIR L"/app/horavx.ico", 0xFFFFFFFF},
                          {cur, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        settings.BackgroundKind = BackgroundKind::Image;
        settings.ImageFile = c.path;
        FacePainter face(settings, calendar, nullptr);
        face.ApplyBackground();
        ASSERT_EQ(settings.BackgroundKind, BackgroundKind::Image) << std::string(c.path.begin(), c.path.end());
        face.DrawFace(window.hwnd());
        Capture capture(window.hwnd());
        if (c.color != 0xFFFFFFFF) {
            EXPECT_EQ(capture.At(5, 60), c.color) << std::string(c.path.begin(), c.path.end());
        }
        // Only the picture's own extent is covered; the back colour shows beyond it.
        EXPECT_EQ(capture.At(kClientWidth - 1, kClientHeight - 1), settings.BackgroundColor[1]);
    }
    // The JPEG is a flat green, give or take its compression.
    settings.ImageFile = pictures + L"green.jpg";
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    face.DrawFace(window.hwnd());
    COLORREF green = Capture(window.hwnd()).At(5, 30);
    EXPECT_NEAR(GetRValue(green), 0x20, 8);
    EXPECT_NEAR(GetGValue(green), 0xC0, 8);
    EXPECT_NEAR(GetBValue(green), 0x40, 8);
    for (const std::wstring& path : {bmp, dib, emf, wmf, cur}) DeleteFileW(path.c_str());
}

TEST_F(FacePainterTest, TranslucencySwitchesTheLayeredStyleAndSetsTheAlpha) {
    ASSERT_TRUE(ApplyTranslucency(window.hwnd(), true, 30));
    EXPECT_TRUE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window.hwnd(), &key, &alpha, &flags));
    EXPECT_EQ(alpha, 178);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    ASSERT_TRUE(ApplyTranslucency(window.hwnd(), true, 0));  // layered but opaque
    GetLayeredWindowAttributes(window.hwnd(), &key, &alpha, &flags);
    EXPECT_EQ(alpha, 255);
    ASSERT_TRUE(ApplyTranslucency(window.hwnd(), false, 30));
    EXPECT_FALSE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Live GDI objects of this process (GetGuiResources is not available everywhere).
int GdiObjectCount() {
    int n = 0;
    for (uintptr_t h = 1; h < 0x10000; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    return n;
}

TEST_F(FacePainterTest, RepaintsLeaveNoGdiObjectBehind) {
    const std::wstring path = TempFile(L"hv_face_leak.bmp");
    WriteBitmap(path, 50, 50, RGB(0, 128, 0));
    settings.FontColor[6] = RGB(0, 0, 0);
    FacePainter face(settings, calendar, nullptr);
    face.DrawFace(window.hwnd());
    for (BackgroundKind kind : {BackgroundKind::Plain, BackgroundKind::Desktop, BackgroundKind::Image}) {
        settings.BackgroundKind = kind;
        settings.ImageFile = path;
        face.ApplyBackground();
        face.DrawFace(window.hwnd());
        const int before = GdiObjectCount();
        for (int i = 0; i < 200; ++i) face.DrawFace(window.hwnd());
        EXPECT_EQ(GdiObjectCount(), before) << "background kind " << static_cast<int>(kind);
    }
    DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace hv
