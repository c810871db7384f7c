#include "face/face_win.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

#include "face/appearance_choices.h"
#include "face/lunisolar.h"
#include "util/dpi_win.h"

namespace hv {

namespace {

// Selects an object into a DC for the scope and puts the previous one back.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

void FillColor(HDC dc, int width, int height, COLORREF color) {
    RECT r{0, 0, width, height};
    // SetDCBrushColor with the stock DC brush: no brush to create and delete per repaint.
    COLORREF previous = SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void DrawLabel(HDC dc, const FaceLabel& label, int dpi) {
    SetTextColor(dc, label.color);
    ExtTextOutW(dc, TwipsToPixels(label.x, dpi), TwipsToPixels(label.y, dpi), 0, nullptr, label.text.c_str(),
                static_cast<UINT>(label.text.size()), nullptr);
}

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
    size_t dot = path.find_last_of(L'.');
    return dot != std::wstring::npos && _wcsicmp(path.c_str() + dot, extension) == 0;
}

IPicture* PictureFromFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size{};
    IPicture* picture = nullptr;
    // Pictures are small; anything beyond 256 MB is not a background anyone means.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (256LL << 20)) {
        DWORD length = static_cast<DWORD>(size.QuadPart);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length)) {
            DWORD read = 0;
            void* bytes = GlobalLock(memory);
            BOOL ok = bytes && ReadFile(file, bytes, length, &read, nullptr) && read == length;
            GlobalUnlock(memory);
            IStream* stream = nullptr;
            if (ok && SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
                if (FAILED(OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&picture))))
                    picture = nullptr;
                stream->Release();  // frees the memory too
            } else {
                GlobalFree(memory);
            }
        }
    }
    CloseHandle(file);
    return picture;
}

// Cursors (and icons the picture loader refuses) load as icons through the window manager.
IPicture* IconPictureFromFile(const std::wstring& path) {
    UINT type = HasExtension(path, L".cur") ? IMAGE_CURSOR : IMAGE_ICON;
    HANDLE image = LoadImageW(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
    if (!image) return nullptr;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = static_cast<HICON>(image);
    IPicture* picture = nullptr;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture)))) {
        DestroyIcon(static_cast<HICON>(image));
        return nullptr;
    }
    return picture;
}

// Every character the face writes in Japanese: the headings, the eras and the 六曜.
constexpr wchar_t kJapaneseSample[] = L"0123456789年月元・大正昭和平成令先勝友引負仏滅安赤口";

// Faces that carry those characters on Japanese Windows (and stand in for them under Wine),
// tried after the system's message font.
constexpr const wchar_t* kJapaneseFaces[] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"Yu Gothic",
                                              L"Meiryo", L"MS Gothic"};

// Whether the font selected into `dc` has a glyph for every character of `text`.
bool HasGlyphs(HDC dc, const wchar_t* text) {
    const int length = static_cast<int>(wcslen(text));
    std::vector<WORD> glyphs(static_cast<std::size_t>(length));
    if (GetGlyphIndicesW(dc, text, length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return false;
    return std::none_of(glyphs.begin(), glyphs.end(), [](WORD glyph) { return glyph == 0xFFFF; });
}

bool FaceHasGlyphs(HDC dc, LOGFONTW font, const wchar_t* face) {
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    HFONT created = CreateFontIndirectW(&font);
    if (!created) return false;
    bool has = false;
    {
        Selected selected(dc, created);
        // A face the system does not have comes back as another: only the named one counts.
        wchar_t actual[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, actual);
        has = _wcsicmp(actual, face) == 0 && HasGlyphs(dc, kJapaneseSample);
    }
    DeleteObject(created);
    return has;
}

LOGFONTW FaceFont(const Settings& settings, int set, double points, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(RoundHalfEven(points * dpi / 72.0));
    font.lfWeight = settings.FontBold[set] ? FW_BOLD : FW_NORMAL;
    font.lfItalic = settings.FontItalic[set] ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, settings.FontName[set].c_str(), LF_FACESIZE - 1);
    return font;
}

}  // namespace


HFONT KeptFont::Get(const LOGFONTW& font) {
    if (font_ && std::memcmp(&made_, &font, sizeof font) == 0) return font_;
    Reset();
    font_ = CreateFontIndirectW(&font);
    made_ = font;
    return font_;
}

void KeptFont::Reset() {
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

void FacePainter::SetMonth(int year, int month, bool showsToday) {
    year_ = year;
    month_ = month;
    showsToday_ = showsToday;
}

FaceExtras FacePainter::Extras() {
    FaceExtras extras;
    if (year_ == 0) return extras;
    extras.heading = FaceHeading(settings_, year_, month_, showsToday_);
    if (!settings_.ShowRokuyo) return extras;
    if (rokuyoYear_ != year_ || rokuyoMonth_ != month_) {
        rokuyo_.clear();
        for (const LunarDate& date : LunarDatesOfMonth(year_, month_))
            rokuyo_.push_back(static_cast<int>(RokuyoOf(date)));
        rokuyoYear_ = year_;
        rokuyoMonth_ = month_;
    }
    extras.rokuyo = rokuyo_;
    return extras;
}

LOGFONTW FacePainter::JapaneseFont(HDC dc, int set, double scale) {
    LOGFONTW font = FaceFont(settings_, set, std::max(6.0, static_cast<double>(settings_.FontSize[set]) * scale), dpi_);
    const std::size_t i = static_cast<std::size_t>(set - 1);
    if (japaneseFor_[i] != settings_.FontName[set] || japaneseFace_[i].empty()) {
        // Chosen once per face: a repaint only creates the font.
        japaneseFor_[i] = settings_.FontName[set];
        japaneseFace_[i] = settings_.FontName[set];
        if (!FaceHasGlyphs(dc, font, settings_.FontName[set].c_str())) {
            NONCLIENTMETRICSW metrics{};
            metrics.cbSize = sizeof metrics;
            std::vector<std::wstring> faces;
            if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
                faces.emplace_back(metrics.lfMessageFont.lfFaceName);
            faces.insert(faces.end(), std::begin(kJapaneseFaces), std::end(kJapaneseFaces));
            for (const std::wstring& face : faces) {
                if (FaceHasGlyphs(dc, font, face.c_str())) {
                    japaneseFace_[i] = face;
                    break;
                }
            }
        }
    }
    wcsncpy(font.lfFaceName, japaneseFace_[i].c_str(), LF_FACESIZE - 1);
    return font;
}

void MeasureText(HDC dc, const wchar_t* text, int dpi, double& width, double& height) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    width = PixelsToTwips(size.cx, dpi);
    height = PixelsToTwips(size.cy, dpi);
}

bool FacePicture::Load(const std::wstring& path) {
    if (path.empty()) return false;
    IPicture* loaded = PictureFromFile(path);
    if (!loaded && (HasExtension(path, L".cur") || HasExtension(path, L".ico"))) loaded = IconPictureFromFile(path);
    if (!loaded) return false;
    Reset();
    picture_ = loaded;
    loadDpi_ = SystemDpi();  // the loader converts pixels to HIMETRIC at the system dpi
    return true;
}

FacePicture::FacePicture(FacePicture&& other) noexcept : picture_(other.picture_), loadDpi_(other.loadDpi_) {
    other.picture_ = nullptr;
}

FacePicture& FacePicture::operator=(FacePicture&& other) noexcept {
    if (this != &other) {
        Reset();
        picture_ = other.picture_;
        loadDpi_ = other.loadDpi_;
        other.picture_ = nullptr;
    }
    return *this;
}

FacePicture FacePicture::Share() const {
    FacePicture shared;
    if (picture_) picture_->AddRef();
    shared.picture_ = picture_;
    shared.loadDpi_ = loadDpi_;
    return shared;
}

void FacePicture::Reset() {
    if (picture_) picture_->Release();
    picture_ = nullptr;
}

void FacePicture::Render(HDC dc, int dpi) const {
    if (!picture_) return;
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    SHORT type = PICTYPE_NONE;
    picture_->get_Width(&himetricWidth);
    picture_->get_Height(&himetricHeight);
    picture_->get_Type(&type);
    int width, height;
    if (type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE) {
        // A metafile has a physical size: keep it in inches.
        width = MulDiv(himetricWidth, dpi, 2540);
        height = MulDiv(himetricHeight, dpi, 2540);
    } else {
        // Bitmaps and icons have a pixel size; like the face, they scale with the dpi.
        width = MulDiv(MulDiv(himetricWidth, loadDpi_, 2540), dpi, 96);
        height = MulDiv(MulDiv(himetricHeight, loadDpi_, 2540), dpi, 96);
    }
    picture_->Render(dc, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr);
}

void FacePainter::ApplyBackground() {
    picture_.Reset();
    if (settings_.BackgroundKind == BackgroundKind::Image && NamesPicture(settings_.ImageFile)) LoadPicture();
}

bool FacePainter::LoadPicture() {
    const bool loaded = picture_.Load(settings_.ImageFile);
    pictureTriedMs_ = GetTickCount64();
    return loaded;
}

bool FacePainter::RetryPicture(std::uint64_t nowMs) {
    if (settings_.BackgroundKind != BackgroundKind::Image || !NamesPicture(settings_.ImageFile) || !picture_.empty())
        return false;
    if (nowMs - pictureTriedMs_ < kPictureRetryMs) return false;
    return LoadPicture();
}

void FacePainter::KeepLook(HWND window) {
    kept_.picture = picture_.Share();
    kept_.layered = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    BYTE alpha = 255;
    DWORD flags = 0;
    kept_.alpha = kept_.layered && GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA)
                      ? alpha
                      : 255;
}

void FacePainter::EndKeptLook(HWND window, bool putBack) {
    if (putBack) {
        picture_ = std::move(kept_.picture);
        LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
        style = kept_.layered ? (style | WS_EX_LAYERED) : (style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        if (style != GetWindowLongPtrW(window, GWL_EXSTYLE)) SetWindowLongPtrW(window, GWL_EXSTYLE, style);
        if (kept_.layered) SetLayeredWindowAttributes(window, 0, kept_.alpha, LWA_ALPHA);
    }
    kept_ = {};
    DrawFace(window);
}

void FacePainter::PaintBackground(HWND window, HDC memory, int width, int height, const Settings& look) {
    const COLORREF back = look.BackgroundColor[1];
    auto copyFromWindow = [&] {
        // The gradient painter and PaintDesktop draw on the window itself (the desktop
        // must line up with the screen); the result is taken into the memory bitmap.
        HDC windowDc = GetDC(window);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        ReleaseDC(window, windowDc);
    };
    switch (look.BackgroundKind) {
    case BackgroundKind::Plain:
        if (look.Gradation != Gradation::None && gradient_) {
            gradient_(window, look.BackgroundColor[1], look.BackgroundColor[2],
                      GradationDirection(look.Gradation));
            copyFromWindow();
        } else {
            FillColor(memory, width, height, back);
        }
        break;
    case BackgroundKind::Desktop:
        if (!look.Translucent) {
            HDC windowDc = GetDC(window);
            PaintDesktop(windowDc);
            ReleaseDC(window, windowDc);
            copyFromWindow();
        } else {
            // Translucent: the desktop shows through the window itself.
            FillColor(memory, width, height, back);
        }
        break;
    case BackgroundKind::Image:
        FillColor(memory, width, height, back);
        picture_.Render(memory, dpi_);
        break;
    default:
        // A kind this version does not know (a hand-edited value): the plain colour, so the
        // labels are never drawn over what an earlier repaint left behind.
        FillColor(memory, width, height, back);
        break;
    }
}

void FacePainter::DrawFace(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    dpi_ = DpiOf(window);

    std::optional<Settings> contrast;
    if (highContrast_) {
        contrast = HighContrastLook(settings_, {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                                                GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HOTLIGHT)});
    }
    const Settings& look = contrast ? *contrast : settings_;

    HDC target = dc ? dc : GetDC(window);
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    if (memory && bitmap) {
        Selected selectedBitmap(memory, bitmap);
        PaintBackground(window, memory, width, height, look);
        SetBkMode(memory, TRANSPARENT);
        SetTextAlign(memory, TA_LEFT | TA_TOP | TA_NOUPDATECP);

        // Made once per change of the settings or the dpi, not at every repaint.
        HFONT headerFont = headerFont_.Get(FaceFont(settings_, 1, static_cast<double>(settings_.FontSize[1]), dpi_));
        HFONT dayFont = dayFont_.Get(FaceFont(settings_, 2, static_cast<double>(settings_.FontSize[2]), dpi_));
        {
            Selected selectedFont(memory, headerFont);
            MeasureText(memory, kHeaderText, dpi_, metrics_.headerWidth, metrics_.headerHeight);
        }
        auto measureDays = [&] {
            Selected selectedFont(memory, dayFont);
            double unused = 0;
            MeasureText(memory, kDigitPairText, dpi_, metrics_.digitPairWidth, unused);
            MeasureText(memory, kDigitText, dpi_, unused, metrics_.digitHeight);
        };
        measureDays();
        // The heading in the weekday row's font and the 六曜 in a smaller day font, each in a
        // Japanese face when the chosen one has no kanji.
        const FaceExtras extras = Extras();
        HFONT headingFont = extras.heading.empty() ? nullptr : headingFont_.Get(JapaneseFont(memory, 1, 1.0));
        HFONT rokuyoFont =
            extras.rokuyo.empty() ? nullptr : rokuyoFont_.Get(JapaneseFont(memory, 2, kRokuyoFontScale));
        if (headingFont) {
            Selected selectedFont(memory, headingFont);
            MeasureText(memory, extras.heading.c_str(), dpi_, metrics_.headingWidth, metrics_.headingHeight);
        }
        auto measureRokuyo = [&] {
            Selected selectedFont(memory, rokuyoFont);
            for (int i = 0; i < kRokuyoCount; ++i) {
                const std::u16string_view name = RokuyoName(static_cast<Rokuyo>(i));
                const std::wstring text(name.begin(), name.end());
                MeasureText(memory, text.c_str(), dpi_, metrics_.rokuyoWidth[static_cast<std::size_t>(i)],
                            metrics_.rokuyoHeight);
            }
        };
        if (rokuyoFont) {
            measureRokuyo();
            const double top = metrics_.headerHeight + (headingFont ? metrics_.headingHeight : 0);
            const double scale = DayFontFitScale(PixelsToTwips(height, dpi_), top, metrics_.digitHeight,
                                                 metrics_.rokuyoHeight);
            if (scale < 1) {
                dayFont = fittedDayFont_.Get(
                    FaceFont(settings_, 2, std::max(6.0, static_cast<double>(settings_.FontSize[2]) * scale), dpi_));
                rokuyoFont = fittedRokuyoFont_.Get(JapaneseFont(memory, 2, kRokuyoFontScale * scale));
                measureDays();
                measureRokuyo();
            }
        }
        layout_ = LayoutFace(look, calendar_, PixelsToTwips(width, dpi_), PixelsToTwips(height, dpi_),
                             metrics_, extras);
        {
            Selected selectedFont(memory, headerFont);
            for (const FaceLabel& label : layout_.header) DrawLabel(memory, label, dpi_);
        }
        if (layout_.hasHeading && headingFont) {
            Selected selectedFont(memory, headingFont);
            DrawLabel(memory, layout_.heading, dpi_);
        }
        {
            Selected selectedFont(memory, dayFont);
            for (const DayLabel& day : layout_.days) {
                if (day.shadow) DrawLabel(memory, day.shadowLabel, dpi_);
                DrawLabel(memory, day.label, dpi_);
            }
        }
        if (rokuyoFont) {
            Selected selectedFont(memory, rokuyoFont);
            for (const DayLabel& day : layout_.days) {
                if (!day.hasRokuyo) continue;
                if (day.shadow) DrawLabel(memory, day.rokuyoShadow, dpi_);
                DrawLabel(memory, day.rokuyo, dpi_);
            }
        }
        if (focusDay_ > 0 && static_cast<std::size_t>(focusDay_) <= layout_.days.size()) {
            RECT focus = DayRect(layout_.days[static_cast<std::size_t>(focusDay_ - 1)]);
            InflateRect(&focus, ScaleToDpi(2, dpi_), 0);
            DrawFocusRect(memory, &focus);
        }
        BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    if (!dc) ReleaseDC(window, target);
}

RECT FacePainter::DayRect(const DayLabel& day) const {
    const DayBox box = DayLabelBox(layout_, metrics_, day);
    return {TwipsToPixels(box.left, dpi_), TwipsToPixels(box.top, dpi_), TwipsToPixels(box.left + box.width, dpi_),
            TwipsToPixels(box.top + box.height, dpi_)};
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool ApplyTranslucency(HWND window, bool on, std::uint32_t rate) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    style = on ? (style | WS_EX_LAYERED) : (style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    // The previous style comes back, which may be 0 on success: only the error tells.
    SetLastError(0);
    if (SetWindowLongPtrW(window, GWL_EXSTYLE, style) == 0 && GetLastError() != 0) return false;
    if (on) SetLayeredWindowAttributes(window, 0, TranslucencyAlpha(rate), LWA_ALPHA);
    return true;
}

}  // namespace hv
