#include "settings/settings_io.h"

#include <string>

#include "util/units.h"
#include "settings/settings_schema.h"

namespace hv {

namespace {

// Reads through a key that may have failed to open: then every read is its default.
class Reader {
public:
    Reader(SettingsStore& store, const ScopedSettingsKey& key) : store_(store), key_(key) {}

    std::uint32_t Dword(std::wstring_view name, std::uint32_t fallback) const {
        return key_.IsOpen() ? store_.GetDwordValue(key_.get(), name, fallback) : fallback;
    }
    std::int32_t Int(std::wstring_view name, std::int32_t fallback) const {
        return static_cast<std::int32_t>(Dword(name, static_cast<std::uint32_t>(fallback)));
    }
    std::wstring Text(std::wstring_view name, std::wstring_view fallback) const {
        return key_.IsOpen() ? store_.GetTextValue(key_.get(), name, fallback) : std::wstring(fallback);
    }
    void Binary(std::wstring_view name, std::span<std::uint8_t> bytes) const {
        if (key_.IsOpen()) store_.GetBinaryValue(key_.get(), name, bytes);
    }

private:
    SettingsStore& store_;
    const ScopedSettingsKey& key_;
};

constexpr const wchar_t* kFontColorNames[] = {L"FontColor1", L"FontColor2", L"FontColor3",
                                              L"FontColor4", L"FontColor5", L"FontColor6"};

}  // namespace

void LoadSettings(SettingsStore& store, Settings& settings, bool translucencyAvailable) {
    {
        ScopedSettingsKey key(store);
        key.Open(kMainSubkey);
        Reader read(store, key);

        settings.FontName[1] = read.Text(L"FontName1", kDefaultFontName1);
        settings.FontName[2] = read.Text(L"FontName2", kDefaultFontName2);
        UnpackBackgroundType(read.Dword(L"BackgroundType", kDefaultBackgroundType), settings);
        settings.ImageFile = read.Text(L"ImageFile", L"");
        settings.BackgroundColor[1] = read.Dword(L"BackgroundColor", kDefaultBackgroundColor);
        settings.BackgroundColor[2] = read.Dword(L"BackgroundColor2", kDefaultBackgroundColor);
        for (std::size_t i = 1; i <= 6; ++i) {
            settings.FontColor[i] = read.Dword(kFontColorNames[i - 1], kDefaultFontColors[i - 1]);
        }
        const std::uint32_t fontStyleDefaults[] = {kDefaultFontStyle1, kDefaultFontStyle2};
        for (std::size_t i = 1; i <= 2; ++i) {
            FontStyle style = UnpackFontStyle(read.Dword(NumberedName(L"FontStyle", int(i)), fontStyleDefaults[i - 1]));
            settings.FontSize[i] = style.Size;
            settings.FontItalic[i] = style.Italic;
            settings.FontBold[i] = style.Bold;
        }
        UnpackTalk(read.Dword(L"Talk", kDefaultTalk), settings);
        UnpackQuietHours(read.Dword(L"QuietHours", kDefaultQuietHours), settings);
        settings.QuietOnFocus = read.Dword(L"QuietOnFocus", kDefaultQuietOnFocus) != 0;
        settings.ShowHeading = read.Dword(L"ShowHeading", kDefaultShowHeading) != 0;
        settings.HeadingEra = read.Dword(L"HeadingEra", kDefaultHeadingEra) != 0;
        settings.ShowRokuyo = read.Dword(L"ShowRokuyo", kDefaultShowRokuyo) != 0;
        settings.Style = read.Dword(L"Style", kDefaultStyle);
        if (translucencyAvailable) {
            UnpackTranslucentRate(read.Dword(L"TranslucentRate", kDefaultTranslucentRate), settings);
        } else {
            settings.TranslucentRate = 0;
            settings.Translucent = false;
        }
    }

    ScopedSettingsKey key(store);
    key.Open(kAlarmSubkey);
    Reader read(store, key);
    for (int n = 1; n <= kAlarmCount; ++n) {
        AlarmEntry& alarm = settings.Alarms[static_cast<std::size_t>(n - 1)];
        AlarmAttr attr = kDefaultAlarmAttr;
        read.Binary(NumberedName(L"Attr", n), attr);
        UnpackAlarmAttr(attr, alarm);
        alarm.Message = read.Text(NumberedName(L"Message", n), L"");
        alarm.WavFile = read.Text(NumberedName(L"WavFile", n), L"");
        alarm.MidFile = read.Text(NumberedName(L"MidFile", n), L"");
        alarm.IconFile = read.Text(NumberedName(L"IconFile", n), L"");
    }
}

void LoadWindowPlacement(SettingsStore& store, Settings& settings) {
    ScopedSettingsKey key(store);
    key.Open(kMainSubkey);
    Reader read(store, key);
    settings.WindowWidth = read.Int(L"Width", kDefaultWidth);
    settings.WindowHeight = read.Int(L"Height", kDefaultHeight);
    settings.WindowLeft = read.Int(L"PosX", kDefaultPosX);
    settings.WindowTop = read.Int(L"PosY", kDefaultPosY);
}

void SaveAnnounceSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return;
    SettingsKey k = key.get();
    store.SetDwordValue(k, L"Talk", PackTalk(settings));
    store.SetDwordValue(k, L"QuietHours", PackQuietHours(settings));
    store.SetDwordValue(k, L"QuietOnFocus", settings.QuietOnFocus ? 1 : 0);
}

void SaveAppearanceSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return;
    SettingsKey k = key.get();
    store.SetDwordValue(k, L"BackgroundType", PackBackgroundType(settings));
    store.SetDwordValue(k, L"BackgroundColor", settings.BackgroundColor[1]);
    store.SetDwordValue(k, L"BackgroundColor2", settings.BackgroundColor[2]);
    store.SetDwordValue(k, L"TranslucentRate", PackTranslucentRate(settings));
    store.SetTextValue(k, L"FontName1", settings.FontName[1]);
    store.SetTextValue(k, L"FontName2", settings.FontName[2]);
    for (std::size_t i = 1; i <= 2; ++i) {
        store.SetDwordValue(k, NumberedName(L"FontStyle", int(i)),
                            PackFontStyle(settings.FontSize[i], settings.FontItalic[i], settings.FontBold[i]));
    }
    for (std::size_t i = 1; i <= 6; ++i) store.SetDwordValue(k, kFontColorNames[i - 1], settings.FontColor[i]);
    store.SetTextValue(k, L"ImageFile", settings.ImageFile);
    store.SetDwordValue(k, L"ShowHeading", settings.ShowHeading ? 1 : 0);
    store.SetDwordValue(k, L"HeadingEra", settings.HeadingEra ? 1 : 0);
    store.SetDwordValue(k, L"ShowRokuyo", settings.ShowRokuyo ? 1 : 0);
}

void SaveAlarmSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kAlarmSubkey) != kStoreSuccess) return;
    SettingsKey k = key.get();
    for (int n = 1; n <= kAlarmCount; ++n) {
        const AlarmEntry& alarm = settings.Alarms[static_cast<std::size_t>(n - 1)];
        AlarmAttr attr = PackAlarmAttr(alarm);
        std::wstring attrName = NumberedName(L"Attr", n);
        if (attr == kDefaultAlarmAttr) {
            store.DeleteSettingsValue(k, attrName);
        } else {
            store.SetBinaryValue(k, attrName, attr);
        }
        const std::pair<const wchar_t*, const std::wstring*> texts[] = {{L"Message", &alarm.Message},
                                                                        {L"WavFile", &alarm.WavFile},
                                                                        {L"MidFile", &alarm.MidFile},
                                                                        {L"IconFile", &alarm.IconFile}};
        for (const auto& [base, text] : texts) {
            std::wstring name = NumberedName(base, n);
            if (text->empty()) {
                store.DeleteSettingsValue(k, name);
            } else {
                store.SetTextValue(k, name, *text);
            }
        }
    }
}

void SaveWindowSettings(SettingsStore& store, const Settings& settings, const WindowRectTwips& window,
                        std::uint32_t programVersion) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return;
    SettingsKey k = key.get();
    if (!settings.HiddenInTray()) {
        store.SetDwordValue(k, L"PosX", static_cast<std::uint32_t>(RoundToInt32(window.Left)));
        store.SetDwordValue(k, L"PosY", static_cast<std::uint32_t>(RoundToInt32(window.Top)));
        store.SetDwordValue(k, L"Width", static_cast<std::uint32_t>(RoundToInt32(window.Width)));
        store.SetDwordValue(k, L"Height", static_cast<std::uint32_t>(RoundToInt32(window.Height)));
    }
    store.SetDwordValue(k, L"Style", settings.Style);
    store.SetDwordValue(k, L"Version", programVersion);
}

}  // namespace hv
