#include "settings/settings_io.h"

#include <string>
#include <vector>

#include "settings/migration.h"
#include "settings/settings_schema.h"
#include "util/units.h"

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

// Writes one group's values through a key opened for writing: whether every one was stored,
// and which were (a conversion of old settings under way no longer writes those).
class Writer {
public:
    Writer(SettingsStore& store, SettingsKey key) : store_(store), key_(key) {}

    void Dword(std::wstring_view name, std::uint32_t value) { Note(name, store_.SetDwordValue(key_, name, value)); }
    void Text(std::wstring_view name, std::wstring_view text) { Note(name, store_.SetTextValue(key_, name, text)); }
    void Binary(std::wstring_view name, std::span<const std::uint8_t> bytes) {
        Note(name, store_.SetBinaryValue(key_, name, bytes));
    }
    void Delete(std::wstring_view name) { Note(name, store_.DeleteSettingsValue(key_, name)); }
    // A value at its default is deleted rather than written: a missing value reads as it.
    void DwordOrDelete(std::wstring_view name, std::uint32_t value, std::uint32_t fallback) {
        if (value == fallback) {
            Delete(name);
        } else {
            Dword(name, value);
        }
    }
    // True when the group is wholly stored.
    bool Finish() { return ForgetPendingConversion(store_, key_, stored_) && failed_ == 0; }

private:
    void Note(std::wstring_view name, bool stored) {
        if (stored) {
            stored_.emplace_back(name);
        } else {
            ++failed_;
        }
    }

    SettingsStore& store_;
    SettingsKey key_;
    std::vector<std::wstring> stored_;
    int failed_ = 0;
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
        settings.TalkPausedUntil = read.Dword(L"TalkPausedUntil", kDefaultTalkPausedUntil);
        settings.TalkHotkey =
            static_cast<std::uint16_t>(read.Dword(L"TalkHotkey", kDefaultTalkHotkey) & kTalkHotkeyMask);
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
        UnpackSnooze(read.Dword(NumberedName(L"Snooze", n), kDefaultSnooze), alarm);
        alarm.SkipHolidays = read.Dword(NumberedName(L"SkipHolidays", n), 0) != 0;
        alarm.OneOffDate = read.Dword(NumberedName(L"Date", n), 0);
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

bool SaveAnnounceSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return false;
    Writer write(store, key.get());
    write.Dword(L"Talk", PackTalk(settings));
    write.Dword(L"QuietHours", PackQuietHours(settings));
    write.Dword(L"QuietOnFocus", settings.QuietOnFocus ? 1 : 0);
    write.Dword(L"TalkHotkey", settings.TalkHotkey & kTalkHotkeyMask);
    return write.Finish();
}

bool SaveTalkPause(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return false;
    Writer write(store, key.get());
    write.Dword(L"TalkPausedUntil", settings.TalkPausedUntil);
    return write.Finish();
}

bool SaveAppearanceSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return false;
    Writer write(store, key.get());
    write.Dword(L"BackgroundType", PackBackgroundType(settings));
    write.Dword(L"BackgroundColor", settings.BackgroundColor[1]);
    write.Dword(L"BackgroundColor2", settings.BackgroundColor[2]);
    write.Dword(L"TranslucentRate", PackTranslucentRate(settings));
    write.Text(L"FontName1", settings.FontName[1]);
    write.Text(L"FontName2", settings.FontName[2]);
    for (std::size_t i = 1; i <= 2; ++i) {
        write.Dword(NumberedName(L"FontStyle", int(i)),
                    PackFontStyle(settings.FontSize[i], settings.FontItalic[i], settings.FontBold[i]));
    }
    for (std::size_t i = 1; i <= 6; ++i) write.Dword(kFontColorNames[i - 1], settings.FontColor[i]);
    write.Text(L"ImageFile", settings.ImageFile);
    write.Dword(L"ShowHeading", settings.ShowHeading ? 1 : 0);
    write.Dword(L"HeadingEra", settings.HeadingEra ? 1 : 0);
    write.Dword(L"ShowRokuyo", settings.ShowRokuyo ? 1 : 0);
    return write.Finish();
}

bool SaveAlarmSettings(SettingsStore& store, const Settings& settings) {
    ScopedSettingsKey key(store);
    if (key.Create(kAlarmSubkey) != kStoreSuccess) return false;
    Writer write(store, key.get());
    for (int n = 1; n <= kAlarmCount; ++n) {
        const AlarmEntry& alarm = settings.Alarms[static_cast<std::size_t>(n - 1)];
        AlarmAttr attr = PackAlarmAttr(alarm);
        std::wstring attrName = NumberedName(L"Attr", n);
        if (attr == kDefaultAlarmAttr) {
            write.Delete(attrName);
        } else {
            write.Binary(attrName, attr);
        }
        const std::pair<const wchar_t*, const std::wstring*> texts[] = {{L"Message", &alarm.Message},
                                                                        {L"WavFile", &alarm.WavFile},
                                                                        {L"MidFile", &alarm.MidFile},
                                                                        {L"IconFile", &alarm.IconFile}};
        for (const auto& [base, text] : texts) {
            std::wstring name = NumberedName(base, n);
            if (text->empty()) {
                write.Delete(name);
            } else {
                write.Text(name, *text);
            }
        }
        write.DwordOrDelete(NumberedName(L"Snooze", n), PackSnooze(alarm), kDefaultSnooze);
        write.DwordOrDelete(NumberedName(L"SkipHolidays", n), alarm.SkipHolidays ? 1 : 0, 0);
        write.DwordOrDelete(NumberedName(L"Date", n), alarm.OneOffDate, 0);
    }
    return write.Finish();
}

bool SaveWindowSettings(SettingsStore& store, const Settings& settings, const WindowRectTwips& window,
                        std::uint32_t programVersion) {
    ScopedSettingsKey key(store);
    if (key.Create(kMainSubkey) != kStoreSuccess) return false;
    Writer write(store, key.get());
    if (!settings.HiddenInTray()) {
        write.Dword(L"PosX", static_cast<std::uint32_t>(RoundToInt32(window.Left)));
        write.Dword(L"PosY", static_cast<std::uint32_t>(RoundToInt32(window.Top)));
        write.Dword(L"Width", static_cast<std::uint32_t>(RoundToInt32(window.Width)));
        write.Dword(L"Height", static_cast<std::uint32_t>(RoundToInt32(window.Height)));
    }
    write.Dword(L"Style", settings.Style);
    write.Dword(L"Version", programVersion);
    return write.Finish();
}

std::wstring SaveFailureText(std::wstring_view what, bool dialogStaysOpen) {
    std::wstring text(what);
    text += L"の設定を保存できませんでした。\r\n"
            L"設定を書き込めません（書き込みが拒否されたか、容量が足りません）。\r\n\r\n";
    text += dialogStaysOpen ? L"ダイアログの [OK] でもう一度保存できます。[キャンセル] で閉じると、変更は破棄されます。"
                            : L"次に起動したときは、最後に保存できたときの状態に戻ります。";
    return text;
}

}  // namespace hv
