// The face painter against real GDI: the colours that land on the window, backgrounds,
// pictures, translucency, and that repaints leave no GDI object behind.
#include "face/face_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace hv {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
const std::wstring kPictures = L"Z:" HV_SOURCE_DIR L"/tests/face/pictures/";
constexpr COLORREF kUnchecked = 0xFFFFFFFF;

// A copy of a window's client pixels.
class Capture {
public:
    explicit Capture(HWND window) {
        HDC dc = GetDC(window);
        memory_ = CreateCompatibleDC(dc);
        bitmap_ = CreateCompatibleBitmap(dc, kWidth, kHeight);
        old_ = SelectObject(memory_, bitmap_);
        BitBlt(memory_, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    ~Capture() { SelectObject(memory_, old_), DeleteObject(bitmap_), DeleteDC(memory_); }
    COLORREF At(int x, int y) const { return GetPixel(memory_, x, y); }
    int Count(int left, int top, int right, int bottom, COLORREF color) const {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, kHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(right, kWidth); ++x) n += At(x, y) == color;
        return n;
    }

private:
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Pixels of `color` inside the box of day `day`'s label.
int CountInDay(const FacePainter& face, const Capture& capture, int day, COLORREF color) {
    const DayLabel& d = face.layout().days.at(static_cast<size_t>(day - 1));
    const int dpi = face.dpi(), left = TwipsToPixels(d.label.x, dpi), top = TwipsToPixels(d.label.y, dpi);
    return capture.Count(left, top, left + TwipsToPixels(face.metrics().digitPairWidth, dpi) + 1,
                         top + TwipsToPixels(face.metrics().digitHeight, dpi) + 1, color);
}

class FacePainterTest : public ::testing::Test {
protected:
    FacePainterTest() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HvFacePainterTest";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"face test", WS_POPUP | WS_VISIBLE, 20, 20,
                                 kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    ~FacePainterTest() override { DestroyWindow(window); }

    // Draws with the picture file; false when it did not load.
    bool DrawPicture(const std::wstring& path) {
        settings.BackgroundKind = BackgroundKind::Image;
        settings.ImageFile = path;
        FacePainter face(settings, calendar, nullptr);
        face.ApplyBackground();
        face.DrawFace(window);
        return !face.picture().empty();
    }

    Settings settings;
    // May 2026 starts on a Friday; the 3rd (a Sunday) to the 6th are holidays; today the 20th.
    MonthCalendar calendar = ComputeMonthCalendar({2026, 5, 20});
    HWND window = nullptr;
};

TEST_F(FacePainterTest, DefaultFaceColoursThenAShadowUnderTheDays) {
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    face.DrawFace(window);
    Capture capture(window);
    // Today (a Wednesday), a Monday holiday, the substitute holiday, a Sunday, a Saturday, a Tuesday.
    for (const auto& [day, role] : {std::pair{20, 2}, {4, 3}, {6, 3}, {10, 3}, {9, 5}, {12, 4}}) {
        EXPECT_GT(CountInDay(face, capture, day, settings.FontColor[role]), 0) << day;
        if (role != 4) { EXPECT_EQ(CountInDay(face, capture, day, settings.FontColor[4]), 0) << day; }
    }
    EXPECT_GT(capture.Count(0, 0, kWidth, 20, settings.FontColor[1]), 0);  // the header row
    EXPECT_EQ(capture.At(kWidth - 1, kHeight - 1), settings.BackgroundColor[1]);
    EXPECT_EQ(capture.Count(0, 0, kWidth, kHeight, RGB(0, 0, 0)), 0);  // the silver shadow is off

    settings.FontColor[6] = RGB(0, 0, 0);
    face.DrawFace(window);
    Capture shadowed(window);
    EXPECT_GT(CountInDay(face, shadowed, 12, RGB(0, 0, 0)), 0);
    EXPECT_GT(CountInDay(face, shadowed, 12, settings.FontColor[4]), 0);  // the label over its shadow
}

TEST_F(FacePainterTest, HeadingAndRokuyoLandWhereTheLayoutPutsThemOnceTheMonthIsKnown) {
    settings.ShowHeading = settings.ShowRokuyo = true;
    FacePainter face(settings, calendar, nullptr);
    face.DrawFace(window);
    EXPECT_FALSE(face.layout().hasHeading || face.layout().days[0].hasRokuyo);  // no month given: as always
    face.SetMonth(2026, 5, true);
    face.DrawFace(window);
    Capture capture(window);
    const FaceLayout& layout = face.layout();
    const int dpi = face.dpi();
    ASSERT_TRUE(layout.hasHeading);
    EXPECT_EQ(layout.heading.text, L"2026年5月");
    const int headingLeft = TwipsToPixels(layout.heading.x, dpi), headingBottom = TwipsToPixels(layout.headingHeight, dpi);
    EXPECT_GT(capture.Count(headingLeft, 0, kWidth - headingLeft, headingBottom, settings.FontColor[1]), 20);
    // The 12th, a Tuesday, is 仏滅 (旧3月26日): its name under the number in the weekday colour.
    const DayLabel& day = layout.days[11];
    ASSERT_TRUE(day.hasRokuyo);
    EXPECT_EQ(day.rokuyo.text, L"仏滅");
    const int left = TwipsToPixels(day.rokuyo.x, dpi), top = TwipsToPixels(day.rokuyo.y, dpi);
    EXPECT_GT(capture.Count(left, top, left + TwipsToPixels(face.metrics().rokuyoWidth[5], dpi),
                            top + TwipsToPixels(face.metrics().rokuyoHeight, dpi), settings.FontColor[4]), 10);
}

TEST_F(FacePainterTest, GradationComesFromTheGradientPainterUnderTheLabels) {
    settings.BackgroundColor[1] = RGB(10, 20, 200);
    settings.BackgroundColor[2] = RGB(250, 200, 10);
    std::vector<long> directions;
    FacePainter face(settings, calendar, [&](HWND w, COLORREF first, COLORREF second, long direction) {
        EXPECT_EQ(std::tuple(w, first), std::tuple(window, settings.BackgroundColor[1]));
        directions.push_back(direction);
        HDC dc = GetDC(w);
        HBRUSH brush = CreateSolidBrush(second);
        const RECT all{0, 0, kWidth, kHeight};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(w, dc);
    });
    for (Gradation gradation : {Gradation::LeftToRight, Gradation::TopToBottom, Gradation::None}) {
        settings.Gradation = gradation;
        face.DrawFace(window);
        Capture capture(window);
        EXPECT_EQ(capture.At(kWidth - 1, kHeight - 1),
                  settings.BackgroundColor[gradation == Gradation::None ? 1 : 2]);  // none: not called
        EXPECT_GT(CountInDay(face, capture, 20, settings.FontColor[2]), 0);
    }
    EXPECT_EQ((std::vector<long>{1, 0}), directions);
}

TEST_F(FacePainterTest, EveryOfferedPictureFormatDrawsUnscaledFromTheTopLeft) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dib = std::wstring(temp) + L"hv_face_picture.dib";
    ASSERT_TRUE(CopyFileW((kPictures + L"red.bmp").c_str(), dib.c_str(), FALSE));
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
    // The colour at (5, 30). The icon and the cursor lie under the header's labels, and the
    // loader decodes the JPEG: they only have to load.
    for (const auto& [file, color] :
         {std::pair{kPictures + L"red.bmp", red}, {dib, red}, {kPictures + L"blue.emf", blue},
          {kPictures + L"blue.wmf", blue}, {kPictures + L"green.jpg", kUnchecked},
          {L"Z:" HV_SOURCE_DIR L"/app/horavx.ico", kUnchecked}, {kPictures + L"green.cur", kUnchecked}}) {
        const std::string name(file.begin(), file.end());
        ASSERT_TRUE(DrawPicture(file)) << name;
        Capture capture(window);
        if (color != kUnchecked) { EXPECT_EQ(capture.At(5, 30), color) << name; }
        // Only the picture's own extent is covered; the back colour shows beyond it.
        EXPECT_EQ(capture.At(kWidth - 1, kHeight - 1), settings.BackgroundColor[1]) << name;
    }
    DeleteFileW(dib.c_str());

    ASSERT_TRUE(DrawPicture(kPictures + L"red.bmp"));  // 64 x 48 pixels
    Capture capture(window);
    EXPECT_EQ(capture.At(63, 47), red);
    EXPECT_EQ(capture.At(66, 30), settings.BackgroundColor[1]);
    EXPECT_EQ(capture.At(5, 50), settings.BackgroundColor[1]);
}

// A drive not ready at start-up: the plain colour meanwhile, the kind and file kept (a later
// OK stores them again), the picture tried again later.
TEST_F(FacePainterTest, APictureThatCannotLoadKeepsItsKindAndFileAndIsTriedAgain) {
    for (const wchar_t* file : {L"missing.bmp", L"not_a_picture.jpg"}) {
        EXPECT_FALSE(DrawPicture(kPictures + file));
        EXPECT_TRUE(settings.BackgroundKind == BackgroundKind::Image && settings.ImageFile == kPictures + file);
        EXPECT_EQ(Capture(window).At(5, 30), settings.BackgroundColor[1]);
    }
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    settings.ImageFile = kPictures + L"red.bmp";  // the drive is ready now
    EXPECT_FALSE(face.RetryPicture(GetTickCount64()));  // not right after the try that failed (the first show)
    EXPECT_TRUE(face.RetryPicture(GetTickCount64() + FacePainter::kPictureRetryMs));
    // A picture that does not load keeps the one already there (the dialogs rely on it).
    FacePicture picture;
    ASSERT_TRUE(picture.Load(kPictures + L"red.bmp"));
    EXPECT_FALSE(picture.Load(kPictures + L"missing.bmp"));
    EXPECT_FALSE(picture.empty());
}

TEST_F(FacePainterTest, HighContrastDrawsInTheThemesColoursOverAPlainBackgroundAndKeepsTheSettings) {
    // A dark theme's colours, put back afterwards.
    const INT elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HOTLIGHT};
    const COLORREF theme[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255), RGB(255, 255, 0)};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = GetSysColor(elements[i]);
    ASSERT_TRUE(SetSysColors(4, elements, theme));
    settings.BackgroundKind = BackgroundKind::Image;
    settings.ImageFile = kPictures + L"red.bmp";
    settings.FontColor[6] = RGB(0, 0, 0);  // a shadow in the theme's window colour would blot the days
    const Settings stored = settings;
    FacePainter face(settings, calendar, nullptr);
    face.ApplyBackground();
    face.SetHighContrast(true);
    face.DrawFace(window);
    Capture capture(window);
    SetSysColors(4, elements, saved);

    EXPECT_EQ(capture.At(5, 30), theme[0]);  // no picture
    EXPECT_GT(capture.Count(0, 0, kWidth, 20, theme[1]), 0);  // the header row
    // Today, a Sunday holiday, a Monday holiday, a Saturday, a Tuesday.
    for (const auto& [day, color] : {std::pair{20, theme[2]}, {3, theme[3]}, {4, theme[3]}, {9, theme[1]}, {12, theme[1]}})
        EXPECT_GT(CountInDay(face, capture, day, color), 0) << day;
    EXPECT_EQ(CountInDay(face, capture, 12, settings.FontColor[4]), 0);  // nothing of the stored colours
    EXPECT_EQ(capture.Count(0, 0, kWidth, kHeight, RGB(200, 0, 0)), 0);
    EXPECT_EQ(std::tuple(settings.FontColor.items, settings.BackgroundKind),
              std::tuple(stored.FontColor.items, stored.BackgroundKind));

    face.SetHighContrast(false);  // the stored look again
    face.DrawFace(window);
    Capture again(window);
    EXPECT_EQ(again.At(5, 30), RGB(200, 0, 0));
}

TEST_F(FacePainterTest, TranslucencySwitchesTheLayeredStyleAndSetsTheAlpha) {
    for (auto [rate, alpha] : {std::pair{30u, 178}, {0u, 255}}) {  // 0: layered but opaque
        ASSERT_TRUE(ApplyTranslucency(window, true, rate));
        EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
        BYTE got = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &got, &flags));
        EXPECT_EQ(std::tuple(int(got), flags), std::tuple(alpha, DWORD(LWA_ALPHA))) << rate;
    }
    ASSERT_TRUE(ApplyTranslucency(window, false, 30));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(FacePainterTest, RepaintsLeaveNoGdiObjectBehind) {
    // Live GDI objects of this process (GetGuiResources is not available everywhere).
    auto gdiObjects = [] {
        int n = 0;
        for (uintptr_t h = 1; h < 0x10000; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
        return n;
    };
    settings.FontColor[6] = RGB(0, 0, 0);
    settings.ImageFile = kPictures + L"red.bmp";
    FacePainter face(settings, calendar, nullptr);
    for (BackgroundKind kind : {BackgroundKind::Plain, BackgroundKind::Desktop, BackgroundKind::Image}) {
        settings.BackgroundKind = kind;
        face.ApplyBackground();
        face.DrawFace(window);
        const int before = gdiObjects();
        for (int i = 0; i < 200; ++i) face.DrawFace(window);
        EXPECT_EQ(gdiObjects(), before) << "background kind " << static_cast<int>(kind);
    }
}

}  // namespace
}  // namespace hv
