// The appearance dialog and its two background dialogs as a user drives them, against a
// real face window: what the face shows while they are open, what Cancel puts back, what
// OK stores, the layered style the rate slider switches, and the picture dialog's loads.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "face/appearance_dialog_win.h"
#include "face/background_dialogs_win.h"
#include "face/face_win.h"
#include "tests/support/dialog_driver_win.h"
#include "tests/support/memory_host.h"

namespace hv {
namespace {

using D = AppearanceDialog;
using P = PlainBackgroundDialog;
using I = PictureBackgroundDialog;
using hvtest::Driver;
using hvtest::DialogScript;
using hvtest::Focus;
using hvtest::WindowText;

// With backslashes: the open-file dialog takes no other separator.
const std::wstring kPictures = [] {
    std::wstring path = L"Z:" HV_SOURCE_DIR L"/tests/face/pictures/";
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}();
constexpr COLORREF kPictureRed = RGB(200, 0, 0);  // red.bmp, 64 x 48

// The program's side for the dialogs: the test host's settings and store, and a real face on
// a window.
class FaceHost : public hvtest::MemoryHost {
public:
    explicit FaceHost(bool layered = true) : face(settings_, calendar_, nullptr) {
        system_.IsNT = layered;
        system_.OsMajorVersion = layered ? 10 : 4;
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HvAppearanceTestFace";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"face", WS_POPUP | WS_VISIBLE, 20, 20, 360, 233, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }
    ~FaceHost() override { DestroyWindow(window); }

    void RedrawFace() override { face.DrawFace(window); }
    bool LoadFacePicture(const std::wstring& path) override {
        ++loads;
        if (!face.picture().Load(path)) return false;
        face.DrawFace(window);
        return true;
    }
    void ClearFacePicture() override {
        face.picture().Reset();
        face.DrawFace(window);
    }
    void ApplyFaceTranslucency(bool on) override { ApplyTranslucency(window, on, settings_.TranslucentRate); }
    void SetFaceOpacity() override {
        SetLayeredWindowAttributes(window, 0, TranslucencyAlpha(settings_.TranslucentRate), LWA_ALPHA);
    }
    void KeepFaceLook() override { face.KeepLook(window); }
    void EndKeptFaceLook(bool putBack) override { face.EndKeptLook(window, putBack); }

    bool Layered() const { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
    int Alpha() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? alpha : -1;
    }
    // Pixels of `color` in the face's top-left 64 x 48 (where the picture lies).
    int CornerPixels(COLORREF color) const {
        HDC dc = GetDC(window);
        int n = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) n += GetPixel(dc, x, y) == color;
        ReleaseDC(window, dc);
        return n;
    }

    MonthCalendar calendar_ = ComputeMonthCalendar({2026, 5, 20});
    FacePainter face;
    HWND window = nullptr;
    int loads = 0;
};

int ShownPage(const Driver& d) { return TabCtrl_GetCurSel(d.Item(D::kIdTabs)) + 1; }

// A dialog of the driver's thread owned by `owner` (a chooser the dialog opened).
HWND OwnedDialog(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    for (int waited = 0; waited < 10000 && !search.found; waited += 20) {
        EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (!IsWindowVisible(w) || std::wstring(cls) != L"#32770" || GetWindow(w, GW_OWNER) != s->owner) return TRUE;
            s->found = w;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(20);
    }
    return search.found;
}

// Presses `button` of `d`'s dialog, which opens the colour chooser, and picks `color` there.
void PickColor(const Driver& d, int button, COLORREF color) {
    PostMessageW(d.Item(button), BM_CLICK, 0, 0);
    HWND chooser = OwnedDialog(d.dialog());
    ASSERT_NE(chooser, nullptr);
    Driver c(chooser);
    SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(0x2CF, BN_CLICKED), reinterpret_cast<LPARAM>(c.Item(0x2CF)));
    SetDlgItemInt(chooser, 0x2C2, GetRValue(color), FALSE);
    SetDlgItemInt(chooser, 0x2C3, GetGValue(color), FALSE);
    SetDlgItemInt(chooser, 0x2C4, GetBValue(color), FALSE);
    c.Click(IDOK);
    d.Sync();
}

TEST(AppearanceDialogTest, CancelAfterFontsColoursAndKindPutsTheFaceAndItsPictureBack) {
    FaceHost host;
    host.settings_.FontName[1] = L"Liberation Sans";
    host.settings_.BackgroundKind = BackgroundKind::Image;
    host.settings_.ImageFile = kPictures + L"red.bmp";
    host.face.ApplyBackground();
    const Settings before = host.settings_;
    D dialog(host);
    DialogScript script([&](Driver& d) {
        EXPECT_EQ(WindowText(d.dialog()), L"カレンダー");
        // The font page shows, the first list has the focus and the stored name selected.
        EXPECT_EQ(std::tuple(ShownPage(d), Focus(d.dialog())), std::tuple(1, d.Item(D::FontId(0, D::kFontName))));
        EXPECT_EQ(WindowText(d.Item(D::FontId(0, D::kFontName))), L"Liberation Sans");
        d.Key(VK_DOWN);  // the next family
        EXPECT_NE(host.settings_.FontName[1], L"Liberation Sans");
        d.AccessKey(L's');  // サイズ(&S): the first size slider
        EXPECT_EQ(Focus(d.dialog()), d.Item(D::FontId(0, D::kFontSize)));
        d.Key(VK_NEXT);  // a page: 6 points larger
        EXPECT_EQ(std::tuple(d.SliderValue(D::FontId(0, D::kFontSize)), host.settings_.FontSize[1]), std::tuple(21, 21.0f));
        d.Click(D::FontId(1, D::kFontBold));
        d.Click(D::FontId(1, D::kFontItalic));
        EXPECT_TRUE(host.settings_.FontBold[2] && host.settings_.FontItalic[2]);
        d.ControlKey(VK_TAB);  // 色
        EXPECT_EQ(ShownPage(d), 2);
        EXPECT_FALSE(IsWindowVisible(d.Item(D::FontId(0, D::kFontSize))));
        PickColor(d, D::kIdColor + 0, RGB(1, 2, 3));
        EXPECT_EQ(host.face.layout().header[0].color, RGB(1, 2, 3));  // the face shows it at once
        d.ControlKey(VK_TAB);  // 背景
        EXPECT_EQ(ShownPage(d), 3);
        EXPECT_TRUE(d.Checked(D::kIdKind + 2) && d.Enabled(D::kIdKindSettings));
        d.AccessKey(L'd');  // デスクトップ(&D)
        EXPECT_TRUE(d.Checked(D::kIdKind + 1) && !d.Enabled(D::kIdKindSettings));
        d.AccessKey(L'p');  // 無地(&P): the picture goes
        EXPECT_TRUE(host.face.picture().empty());
        d.ControlKey(VK_TAB, true);  // back to 色
        EXPECT_EQ(ShownPage(d), 2);
        d.Key(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Run(nullptr));
    script.Join();
    ASSERT_TRUE(script.found());
    EXPECT_EQ(host.settings_, before);
    EXPECT_EQ(host.face.layout().header[0].color, before.FontColor[1]);
    EXPECT_GT(host.CornerPixels(kPictureRed), 2000);  // shown again
    EXPECT_FALSE(host.store_.HasKey(L""));
}

TEST(AppearanceDialogTest, OkStoresWhatThePlainDialogAndTheRateSliderSet) {
    FaceHost host;
    D dialog(host);
    DialogScript script([&](Driver& d) {
        d.ControlKey(VK_NEXT);
        d.ControlKey(VK_NEXT);
        d.AccessKey(L's');  // 設定(&S)... on this page: the plain dialog
        HWND plain = hvtest::FindDialog(GetWindowThreadProcessId(d.dialog(), nullptr), L"無地の設定");
        ASSERT_NE(plain, nullptr);
        Driver p(plain);
        EXPECT_TRUE(p.Checked(P::kIdGradation + 0));
        PickColor(p, P::kIdColor + 1, RGB(0, 0, 128));
        p.AccessKey(L'g');  // グラデーション(&G): into the options
        p.Key(VK_RIGHT);    // 左から右
        EXPECT_EQ(host.settings_.Gradation, Gradation::LeftToRight);
        p.Key(VK_RETURN);   // 閉じる(&C)
        d.Sync();
        EXPECT_FALSE(IsWindow(plain));
        d.AccessKey(L'r');  // 半透明の度合い(&R): the slider
        d.Key(VK_NEXT);
        EXPECT_TRUE(d.Checked(D::kIdTranslucent));
        EXPECT_EQ(WindowText(d.Item(D::kIdRatePercent)), L"10%");
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(host.store_.Dword(L"", L"BackgroundType"), 4u);
    EXPECT_EQ(host.store_.Dword(L"", L"BackgroundColor2"), RGB(0, 0, 128));
    EXPECT_EQ(host.store_.Dword(L"", L"TranslucentRate"), 256u + 10u);
    EXPECT_EQ(host.store_.Dword(L"", L"FontStyle2"), 2400u);
    EXPECT_EQ(host.store_.Text(L"", L"FontName1"), L"Arial");
}

TEST(AppearanceDialogTest, TheRateSliderSwitchesTheLayeredStyleWhereThereIsOne) {
    constexpr COLORREF kBack = RGB(1, 200, 3);
    for (const bool layered : {true, false}) {
        FaceHost host(layered);
        host.settings_.BackgroundKind = BackgroundKind::Desktop;  // painted only while opaque
        host.settings_.BackgroundColor[1] = kBack;
        D dialog(host);
        struct Seen {
            bool layered;
            int alpha;
            bool ticked;
        };
        std::vector<Seen> seen;
        DialogScript script([&](Driver& d) {
            d.ControlKey(VK_PRIOR);  // Ctrl+PageUp wraps round to 表示, then 背景
            d.ControlKey(VK_PRIOR);
            EXPECT_EQ(ShownPage(d), 3);
            EXPECT_EQ(std::tuple(d.Enabled(D::kIdRate), d.Enabled(D::kIdTranslucent)), std::tuple(layered, layered));
            if (!layered) return d.Key(VK_ESCAPE);
            d.AccessKey(L'r');
            for (UINT key : {VK_NEXT, VK_NEXT, VK_NEXT}) d.Key(key);  // 0 -> 30
            seen.push_back({host.Layered(), host.Alpha(), d.Checked(D::kIdTranslucent)});
            EXPECT_GT(host.CornerPixels(kBack), 99);  // drawn again: the back colour, not the desktop
            d.Key(VK_HOME);  // back to 0
            seen.push_back({host.Layered(), host.Alpha(), d.Checked(D::kIdTranslucent)});
            EXPECT_EQ(host.CornerPixels(kBack), 0);
            d.AccessKey(L't');  // 半透明(&T) ticked by hand at rate 0: layered and opaque
            seen.push_back({host.Layered(), host.Alpha(), d.Checked(D::kIdTranslucent)});
            d.Key(VK_ESCAPE);
        });
        dialog.Run(nullptr);
        script.Join();
        if (!layered) {
            EXPECT_TRUE(!host.Layered() && !host.settings_.Translucent);
            continue;
        }
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(std::tuple(seen[0].layered, seen[0].alpha, seen[0].ticked), std::tuple(true, 178, true));
        EXPECT_EQ(std::tuple(seen[1].layered, seen[1].ticked), std::tuple(false, false));
        EXPECT_EQ(std::tuple(seen[2].layered, seen[2].alpha, seen[2].ticked), std::tuple(true, 255, true));
        EXPECT_TRUE(!host.settings_.Translucent && !host.Layered());  // put back by Cancel
    }
}

TEST(AppearanceDialogTest, APictureChosenThroughThePictureDialogShowsAndAMissingPathKeepsIt) {
    FaceHost host;
    const std::wstring red = kPictures + L"red.bmp";
    D dialog(host);
    DialogScript script([&](Driver& d) {
        d.ControlKey(VK_TAB, true);  // 表示
        d.ControlKey(VK_TAB, true);  // 背景
        d.AccessKey(L'b');            // 画像ファイル(&B), with no file yet: no picture
        EXPECT_EQ(host.settings_.BackgroundKind, BackgroundKind::Image);
        d.Click(D::kIdKindSettings);
        HWND pictureDialog = hvtest::FindDialog(GetWindowThreadProcessId(d.dialog(), nullptr), L"画像ファイルの設定");
        ASSERT_NE(pictureDialog, nullptr);
        Driver p(pictureDialog);
        EXPECT_EQ(WindowText(p.Item(I::kIdPath)), L"");
        PostMessageW(p.Item(I::kIdBrowse), BM_CLICK, 0, 0);
        HWND open = OwnedDialog(pictureDialog);
        ASSERT_NE(open, nullptr);
        SetDlgItemTextW(open, 0x47C, red.c_str());
        PostMessageW(open, WM_COMMAND, IDOK, 0);
        for (int waited = 0; IsWindow(open) && waited < 30000; waited += 20) Sleep(20);
        if (IsWindow(open)) PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
        p.Sync();
        EXPECT_EQ(WindowText(p.Item(I::kIdPath)), red);
        EXPECT_GT(host.CornerPixels(kPictureRed), 2000);  // behind the calendar

        // Typed key by key: nothing loads until the typing pauses, then once; a missing file
        // loads never.
        const int loads = host.loads;
        int loadsWhenTyped = -1;
        p.Type(I::kIdPath, kPictures + L"green.jpg", [&] { loadsWhenTyped = host.loads; });
        EXPECT_EQ(loadsWhenTyped, loads);
        EXPECT_TRUE(p.SyncUntil([&] { return host.loads != loads; })) << "nothing loaded after the typing";
        EXPECT_EQ(host.loads, loads + 1);
        EXPECT_EQ(host.CornerPixels(kPictureRed), 0);
        p.Type(I::kIdPath, red);
        p.Key(VK_TAB);  // leaving the box loads at once
        EXPECT_EQ(host.loads, loads + 2);
        p.Type(I::kIdPath, L"Z:\\nowhere\\missing.bmp");
        p.Key(VK_TAB);
        EXPECT_EQ(host.loads, loads + 2);
        EXPECT_GT(host.CornerPixels(kPictureRed), 2000);  // the previous picture stays
        EXPECT_EQ(WindowText(p.Item(I::kIdNote)), L"ファイルが見つかりません。背景は前のままです。");
        p.Key(VK_ESCAPE);
        d.Sync();
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(host.store_.Text(L"", L"ImageFile"), red);  // the last picture that loaded
    EXPECT_EQ(host.store_.Dword(L"", L"BackgroundType"), 2u);
}

TEST(AppearanceDialogTest, AnEmptiedPictureBoxShowsNoneAndRemovesThePicture) {
    FaceHost host;
    host.settings_.BackgroundKind = BackgroundKind::Image;
    host.settings_.ImageFile = kPictures + L"red.bmp";
    PictureBackgroundDialog dialog(host);
    DialogScript script([&](Driver& p) {
        EXPECT_GT(host.CornerPixels(kPictureRed), 2000);  // loaded as the dialog opened
        p.Type(I::kIdPath, L"x");
        p.Key(VK_BACK);
        EXPECT_EQ(WindowText(p.Item(I::kIdPath)), L"(なし)");
        EXPECT_TRUE(host.face.picture().empty());
        p.Key(VK_ESCAPE);
    });
    dialog.RunModal(nullptr);
    script.Join();
    ASSERT_TRUE(script.found());
    EXPECT_EQ(host.settings_.ImageFile, L"(なし)");
}

TEST(AppearanceDialogTest, TheBusyPointerShowsWhileTheFontListsFill) {
    struct Watched : D {
        using D::D;
        std::vector<std::wstring> FontFamilies() const override {
            cursor = GetCursor();
            return {L"Arial"};
        }
        mutable HCURSOR cursor = nullptr;
    };
    FaceHost host;
    Watched dialog(host);
    DialogScript script([](Driver& d) { d.Key(VK_ESCAPE); });
    dialog.Run(nullptr);
    script.Join();
    EXPECT_EQ(dialog.cursor, LoadCursorW(nullptr, IDC_WAIT));
}

// A family with a bold face only: Liberation Sans Bold renamed in its name table (the
// family name appears in one-byte and two-byte records) and added for this process.
class BoldOnlyFont {
public:
    static constexpr wchar_t kFamily[] = L"HvBoldOnly Sans";  // as long as "Liberation Sans"
    BoldOnlyFont() {
        HANDLE in = CreateFileW(L"Z:\\usr\\share\\fonts\\truetype\\liberation\\LiberationSans-Bold.ttf",
                                GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (in == INVALID_HANDLE_VALUE) return;
        std::string bytes(GetFileSize(in, nullptr), '\0');
        DWORD read = 0;
        ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(in);
        const std::string from = "Liberation Sans", to = "HvBoldOnly Sans";
        auto wide = [](const std::string& a) {
            std::string w;
            for (char c : a) w += std::string{'\0', c};
            return w;
        };
        for (const auto& [f, t] : {std::pair(from, to), std::pair(wide(from), wide(to))})
            for (std::size_t at = 0; (at = bytes.find(f, at)) != std::string::npos; at += f.size()) bytes.replace(at, f.size(), t);
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"hv_bold_only.ttf";
        HANDLE out = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(out);
        added_ = AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr) > 0;
    }
    ~BoldOnlyFont() {
        if (added_) RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    bool added() const { return added_; }

private:
    std::wstring path_;
    bool added_ = false;
};

TEST(AppearanceDialogTest, AFamilyWithOnlyABoldFaceLocksItsBoldBoxUntilAnotherIsChosen) {
    BoldOnlyFont font;
    if (!font.added()) GTEST_SKIP() << "Liberation Sans Bold is not installed";
    int weight = 0;
    bool italic = true;
    ProbeRegularUpright(BoldOnlyFont::kFamily, weight, italic);
    EXPECT_EQ(std::tuple(weight >= kBoldWeight, italic), std::tuple(true, false));

    FaceHost host;
    host.settings_.FontName[1] = BoldOnlyFont::kFamily;
    host.settings_.FontName[2] = L"No Such Family";
    D dialog(host);
    DialogScript script([&](Driver& d) {
        const int bold = D::FontId(0, D::kFontBold);
        EXPECT_EQ(WindowText(d.Item(D::FontId(0, D::kFontName))), BoldOnlyFont::kFamily);
        EXPECT_EQ(std::tuple(d.Checked(bold), d.Enabled(bold), host.settings_.FontBold[1]), std::tuple(true, false, true));
        // A stored name the system does not list: nothing selected, the name kept.
        EXPECT_EQ(SendMessageW(d.Item(D::FontId(1, D::kFontName)), CB_GETCURSEL, 0, 0), CB_ERR);
        d.Key(VK_UP);  // another family: the box is free again and shows the setting
        EXPECT_EQ(std::tuple(d.Checked(bold), d.Enabled(bold)), std::tuple(true, true));
        d.Click(bold);
        EXPECT_FALSE(host.settings_.FontBold[1]);
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(host.store_.Text(L"", L"FontName2"), L"No Such Family");
}

TEST(AppearanceDialogTest, TheViewPageSwitchesTheHeadingItsFormAndTheRokuyoAndOkStoresThem) {
    FaceHost host;
    D dialog(host);
    DialogScript script([&](Driver& d) {
        d.ControlKey(VK_TAB, true);  // Ctrl+Shift+Tab wraps round to 表示
        EXPECT_EQ(ShownPage(d), 4);
        EXPECT_FALSE(d.Enabled(D::kIdHeadingForm + 1));  // no heading, no form to choose
        d.AccessKey(L'y');
        d.AccessKey(L'j');
        d.AccessKey(L'k');
        EXPECT_EQ(std::tuple(host.settings_.ShowHeading, host.settings_.HeadingEra, host.settings_.ShowRokuyo),
                  std::tuple(true, true, true));
        d.Key(VK_RETURN);
    });
    EXPECT_TRUE(dialog.Run(nullptr));
    script.Join();
    EXPECT_EQ(std::tuple(host.store_.Dword(L"", L"ShowHeading"), host.store_.Dword(L"", L"HeadingEra"),
                         host.store_.Dword(L"", L"ShowRokuyo")),
              std::tuple(1u, 1u, 1u));
}

// Every page: the tab strip takes the arrow keys, and Tab reaches the rest.
TEST(AppearanceDialogTest, TabReachesEveryControlOfEveryPage) {
    FaceHost host;
    D dialog(host);
    DialogScript script([](Driver& d) {
        for (int page = 1; page <= 4; ++page) {
            EXPECT_EQ(d.NotReachedByTab(), std::vector<std::wstring>{}) << page;
            PostMessageW(d.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.Item(D::kIdTabs)), TRUE);
            d.Key(VK_RIGHT);
        }
        d.Key(VK_ESCAPE);
    });
    dialog.Run(nullptr);
    script.Join();
    EXPECT_TRUE(script.found());
}

}  // namespace
}  // namespace hv
