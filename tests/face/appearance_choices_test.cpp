// The appearance and background dialogs' rules without the dialogs: what OK stores after
// the dialog's moves, what Cancel puts back, the translucency switch and rate slider, the
// font lists, the kinds and the picture box.
#include "face/appearance_choices.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <tuple>
#include <vector>

#include "settings/memory_store.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"

namespace hv {
namespace {

TEST(AppearanceChoicesTest, OkStoresStylesKindAndRateWithTheSwitchBit) {
    Settings settings;
    // Set 2: a family with no regular weight; a hand-edited 15.5 pt shows (and becomes) 16.
    settings.FontSize[2] = static_cast<float>(FontSizeSliderValue(15.5f));
    const FontStyleBoxes boxes = ChooseFont(settings, 2, L"Bold Only", 700, false);
    EXPECT_EQ(std::tuple(boxes.bold.checked, boxes.bold.enabled, boxes.italic.checked, boxes.italic.enabled),
              std::tuple(true, false, false, true));
    settings.FontItalic[1] = true;
    settings.ImageFile = L"C:\\pictures\\sky.jpg";
    EXPECT_EQ(ChooseBackgroundKind(settings, 2), PictureAction::Load);
    settings.Gradation = Gradation::TopToBottom;
    MoveTranslucentRate(settings, 30, true);

    MemorySettingsStore store;
    SaveAppearanceSettings(store, settings);
    EXPECT_EQ(store.Dword(L"", L"FontStyle1"), 0x10000u + 1500u);
    EXPECT_EQ(store.Dword(L"", L"FontStyle2"), 0x100000u + 1600u);
    EXPECT_EQ(store.Dword(L"", L"BackgroundType"), 2u * 4u + 2u);
    EXPECT_EQ(store.Dword(L"", L"TranslucentRate"), 256u + 30u);
    EXPECT_EQ(store.Text(L"", L"FontName2"), L"Bold Only");
    EXPECT_EQ(store.Text(L"", L"ImageFile"), L"C:\\pictures\\sky.jpg");

    // Ticked by hand at rate 0: layered and opaque, stored with the switch bit alone.
    ClickTranslucentSwitch(settings, false, true);
    MoveTranslucentRate(settings, 0, true);
    ClickTranslucentSwitch(settings, true, true);
    SaveAppearanceSettings(store, settings);
    EXPECT_EQ(store.Dword(L"", L"TranslucentRate"), 256u);
}

TEST(AppearanceChoicesTest, CancelPutsBackEverySettingTheDialogsChange) {
    Settings settings;
    settings.BackgroundKind = BackgroundKind::Image;
    settings.ImageFile = L"a.bmp";
    const AppearanceSnapshot snapshot = TakeAppearanceSnapshot(settings);
    Settings changed = settings;
    ChooseFont(changed, 1, L"Century", 400, true);
    changed.FontSize[2] = 60;
    changed.FontBold[2] = true;
    changed.FontColor[6] = 0x123456;
    changed.BackgroundColor[2] = 0x000080;
    ChooseBackgroundKind(changed, 0);
    changed.Gradation = Gradation::LeftToRight;
    changed.ShowHeading = changed.HeadingEra = changed.ShowRokuyo = true;
    PictureTried(changed, L"b.jpg", PictureLoad::Loaded);
    MoveTranslucentRate(changed, 45, true);

    RestoreAppearanceSnapshot(snapshot, changed);
    EXPECT_EQ(changed, settings);
}

TEST(AppearanceChoicesTest, TheRateSliderAndTheSwitchDriveEachOther) {
    struct Step {
        const char* what;
        int rate;              // -1: a click on the switch instead, `on` below
        bool on;
        bool checked;          // what the switch shows afterwards
        LayerStyle style;
        bool opacity;
        std::uint32_t stored;  // TranslucentRate afterwards
    };
    const Step steps[] = {
        {"the first move, from the rate the dialog opened with, to 0", 0, false, false, LayerStyle::Off, false, 0},
        {"0 -> 30 ticks the switch and layers", 30, false, true, LayerStyle::On, false, 30},
        {"30 -> 50 only the opacity", 50, false, true, LayerStyle::Keep, true, 50},
        {"50 -> 0 unticks it", 0, false, false, LayerStyle::Off, false, 0},
        {"ticked by hand at 0", -1, true, true, LayerStyle::On, false, 0},
        {"0 -> 0 changes nothing", 0, false, true, LayerStyle::Keep, false, 0},
        {"unticked by hand", -1, false, false, LayerStyle::Off, false, 0},
        {"0 -> 20 ticks it again", 20, false, true, LayerStyle::On, false, 20},
        {"unticked by hand at 20", -1, false, false, LayerStyle::Off, false, 20},
        {"20 -> 40 switches it on again", 40, false, true, LayerStyle::On, false, 40},
        {"beyond the range stops at 99", 250, false, true, LayerStyle::Keep, true, 99},
    };
    Settings settings;
    settings.Translucent = true;
    settings.TranslucentRate = 30;
    for (const Step& s : steps) {
        const LayerChange c = s.rate < 0 ? ClickTranslucentSwitch(settings, s.on, true)
                                         : MoveTranslucentRate(settings, s.rate, true);
        EXPECT_EQ(std::tuple(c.switchChecked, settings.Translucent, c.style, c.opacity, settings.TranslucentRate),
                  std::tuple(s.checked, s.checked, s.style, s.opacity, s.stored))
            << s.what;
    }
    EXPECT_EQ(settings.TranslucentRate, 99u);

    // Without layered windows neither the slider nor the switch turns anything on.
    Settings plain;
    for (int rate : {30, 0, 60}) {
        const LayerChange c = MoveTranslucentRate(plain, rate, false);
        EXPECT_TRUE(!c.switchChecked && c.style == LayerStyle::Keep && !c.opacity) << rate;
    }
    EXPECT_EQ(ClickTranslucentSwitch(plain, true, false).style, LayerStyle::Keep);
    EXPECT_EQ(std::tuple(plain.Translucent, plain.TranslucentRate), std::tuple(false, 0u));
    EXPECT_EQ(RateLabel(30), L"30%");
}

TEST(AppearanceChoicesTest, FontListsLeaveOutVerticalNamesAndSelectOnlyAnExactName) {
    const std::vector<std::wstring> reported = {L"MS Gothic", L"@MS Gothic", L"Arial", L"arial", L"Times New Roman",
                                                L"Arial", L"@", L"IPAGothic", L"Courier"};
    const std::vector<std::wstring> names = FontListNames(reported);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Arial", L"arial", L"Courier", L"IPAGothic", L"MS Gothic",
                                               L"Times New Roman"}));
    const struct {
        const wchar_t* stored;
        int selected;
    } cases[] = {{L"Arial", 0}, {L"arial", 1}, {L"ARIAL", -1}, {L"MS Gothic", 4}, {L"@MS Gothic", -1},
                 {L"Times New Roman ", -1}, {L"", -1}};
    for (const auto& c : cases) EXPECT_EQ(FontListSelection(names, c.stored), c.selected) << c.stored;

    // A style locked by one font is freed by the next, which shows the setting again.
    Settings settings;
    FontStyleBoxes boxes = ChooseFont(settings, 1, L"Black Italic", 900, true);
    EXPECT_TRUE(boxes.bold.checked && !boxes.bold.enabled && boxes.italic.checked && !boxes.italic.enabled);
    boxes = ChooseFont(settings, 1, L"Plain", 400, false);
    EXPECT_TRUE(boxes.bold.checked && boxes.bold.enabled && boxes.italic.checked && boxes.italic.enabled);
    EXPECT_FALSE(ChooseFont(settings, 2, L"Semi", kBoldWeight - 1, false).bold.checked);
    EXPECT_EQ(std::tuple(FontSizeSliderValue(7.4f), FontSizeSliderValue(8.5f), FontSizeSliderValue(99.0f)),
              std::tuple(8, 8, 68));
}

TEST(AppearanceChoicesTest, KindsDecideThePictureAndTheSettingsDialog) {
    Settings settings;
    EXPECT_EQ(ChooseBackgroundKind(settings, 2), PictureAction::Clear);  // an empty name gives no picture
    settings.ImageFile = L"x.bmp";
    EXPECT_EQ(std::tuple(ChooseBackgroundKind(settings, 2), ChooseBackgroundKind(settings, 1),
                         ChooseBackgroundKind(settings, 0)),
              std::tuple(PictureAction::Load, PictureAction::Keep, PictureAction::Clear));
    const auto stored3 = static_cast<BackgroundKind>(3);
    EXPECT_EQ(std::tuple(KindOption(BackgroundKind::Image), KindOption(stored3)), std::tuple(2, -1));
    EXPECT_EQ(std::tuple(DialogForKind(BackgroundKind::Plain), DialogForKind(BackgroundKind::Desktop),
                         DialogForKind(BackgroundKind::Image), DialogForKind(stored3)),
              std::tuple(BackgroundDialogKind::Plain, BackgroundDialogKind::None, BackgroundDialogKind::Picture,
                         BackgroundDialogKind::Plain));
}

TEST(AppearanceChoicesTest, AnEmptiedPictureBoxShowsNoneAndOtherTextIsLoaded) {
    Settings settings;
    PictureText t = PictureTextChanged(settings, L"");
    EXPECT_TRUE(t.showNone && t.clear && !t.load);
    EXPECT_EQ(settings.ImageFile, L"(なし)");
    t = PictureTextChanged(settings, L"\\\\server\\share\\p.bmp");
    EXPECT_TRUE(!t.showNone && !t.clear && t.load);
    // It becomes the file only once it loads; the note under the box says why another did not.
    EXPECT_NE(PictureTried(settings, L"p.bmp", PictureLoad::Missing),
              PictureTried(settings, L"p.bmp", PictureLoad::NotAPicture));
    EXPECT_EQ(settings.ImageFile, L"(なし)");
    EXPECT_EQ(PictureTried(settings, L"p.bmp", PictureLoad::Loaded), L"");
    EXPECT_EQ(settings.ImageFile, L"p.bmp");

    const std::wstring filter = PictureFileFilter();
    EXPECT_EQ(std::count(filter.begin(), filter.end(), L'\0'), 10);
    EXPECT_EQ(filter.substr(0, filter.find(L'\0', filter.find(L'\0') + 1)),
              std::wstring(L"すべての画像ファイル\0*.bmp;*.dib;*.jpg;*.wmf;*.emf;*.ico;*.cur", 52));
    EXPECT_EQ(filter.substr(filter.size() - 12), std::wstring(L"*.ico;*.cur\0", 12));
}

TEST(AppearanceChoicesTest, TheDialogGoesBesideTheFaceSoThePreviewStaysInView) {
    const ScreenRect work{0, 0, 1280, 1000};
    const struct {
        const char* where;
        ScreenRect face;
        ScreenPoint placed;
    } cases[] = {
        {"right", {100, 100, 460, 333}, {468, 100}},
        {"left, moved up to fit", {900, 900, 1260, 1000}, {372, 738}},
        {"below", {0, 0, 1280, 300}, {0, 308}},
        {"above", {0, 600, 1280, 1000}, {0, 330}},
        {"nowhere: over the centre", {0, 0, 1280, 1000}, {380, 369}},
    };
    for (const auto& c : cases) {
        const ScreenPoint p = PlaceBesideFace(c.face, 520, 262, work, 8);
        EXPECT_EQ(std::tuple(p.x, p.y), std::tuple(c.placed.x, c.placed.y)) << c.where;
    }
}

}  // namespace
}  // namespace hv
