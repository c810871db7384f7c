// frmCalendar, "カレンダー": the face's two fonts, six colours, background and translucency,
// and what it shows beyond the days (the heading row and its form, the 六曜).
// Every change goes into the settings at once and the face is redrawn, so the face itself
// is the preview; OK stores the appearance group, Cancel puts back every setting and the
// face window's look as they were when it opened.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "face/appearance_choices.h"
#include "settings/settings_host.h"
#include "util/form_win.h"

namespace hv {

// The families of the screen fonts as the system reports them, in one enumeration
// (vertical-writing "@" names included; FontListNames decides what is offered).
std::vector<std::wstring> ScreenFontFamilies();
// What the family `name` gives when asked for a regular, upright face: the weight and the
// italic flag of that face's metrics (a bold-only family answers bold).
void ProbeRegularUpright(const std::wstring& name, int& weight, bool& italic);

class AppearanceDialog : public Form {
public:
    // Control ids. Font set s (0 for the weekday header, 1 for the days) uses
    // kIdFontSet + 20 * s + the offsets below; colour button i is kIdColor + i.
    static constexpr int kIdFontSet = 200;
    static constexpr int kFontFrame = 0, kFontNameLabel = 1, kFontName = 2, kFontBold = 3, kFontItalic = 4,
                         kFontSizeLabel = 5, kFontSmall = 6, kFontSize = 7, kFontLarge = 8;
    static constexpr int kIdColorLabel = 260;
    static constexpr int kIdColor = 270;
    static constexpr int kIdKind = 280;          // optBack(0..2)
    static constexpr int kIdKindSettings = 283;  // cmdSetting
    static constexpr int kIdLine = 284;
    static constexpr int kIdTranslucent = 285;   // chkTranslucent
    static constexpr int kIdRateLabel = 286;
    static constexpr int kIdRate = 287;          // sldRate
    static constexpr int kIdRatePercent = 288;
    static constexpr int kIdHelp = 290;
    static constexpr int kIdTabs = 291;
    static constexpr int kIdHeading = 292;      // chkHeading
    static constexpr int kIdHeadingForm = 293;  // optHeadingForm(0..1): 西暦, 和暦
    static constexpr int kIdRokuyo = 295;       // chkRokuyo
    static constexpr int kIdViewNote = 296;
    static constexpr int kHelpContext = 11;
    static constexpr int FontId(int set, int offset) { return kIdFontSet + 20 * set + offset; }

    explicit AppearanceDialog(SettingsHost& host);

    // Modal to `owner`; true when OK stored the settings.
    bool Run(HWND owner) { return RunModal(owner) == IDOK; }
    // How long the last fill of the font lists took, in milliseconds (for the benchmark).
    double fontFillMs() const { return fontFillMs_; }

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    void OnValueChanged(int id) override;
    bool OnOk() override;
    void OnCancel() override;
    // The families the font lists offer (the screen's fonts).
    virtual std::vector<std::wstring> FontFamilies() const { return ScreenFontFamilies(); }

private:
    void FillFontLists();
    // Beside the face rather than over it: the face is the preview.
    void PlaceBesideOwner();
    void ChooseFontName(int set, const std::wstring& name);
    void ChooseKind(int option);
    void ApplyLayerChange(const LayerChange& change);
    void PickColor(int index);
    void OpenKindSettings();

    SettingsHost& host_;
    AppearanceSnapshot saved_;
    bool translucency_ = false;  // the system has layered windows
    double fontFillMs_ = 0;
};

}  // namespace hv
