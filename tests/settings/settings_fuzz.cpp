// libFuzzer target: arbitrary stored values (any type, length and bytes) under the
// settings keys, or arbitrary old-version texts, must load without a crash into fields
// that are in their ranges or hold exactly what was stored, and must survive a save and
// a reload unchanged. Built and run by scripts/test.d/fuzz-settings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/memory_store.h"
#include "settings/migration.h"
#include "settings/settings_io.h"
#include "settings/settings_schema.h"
#include "tests/settings/settings_test.h"

namespace {

using namespace hv;

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition), std::abort()))

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A length byte, then that many bytes; 255 announces a 16-bit length (long texts, up to 64 KiB).
    std::vector<std::uint8_t> Chunk() {
        std::size_t count = Byte();
        if (count == 255) count = Byte() | (static_cast<std::size_t>(Byte()) << 8);
        std::vector<std::uint8_t> out;
        while (count-- > 0 && pos_ < size_) out.push_back(data_[pos_++]);
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::vector<std::wstring> MainNames() {
    std::vector<std::wstring> names = {L"FontName1", L"FontName2", L"BackgroundType", L"ImageFile",
                                       L"BackgroundColor", L"BackgroundColor2", L"FontStyle1", L"FontStyle2",
                                       L"Talk", L"Style", L"TranslucentRate", L"Width", L"Height", L"PosX", L"PosY",
                                       L"Version", L"fontcolor3", L"Other", L"QuietHours", L"QuietOnFocus",
                                       L"TalkPausedUntil", L"TalkHotkey"};
    for (int i = 1; i <= 6; ++i) names.push_back(NumberedName(L"FontColor", i));
    return names;
}

std::vector<std::wstring> AlarmNames() {
    std::vector<std::wstring> names;
    for (const wchar_t* base : {L"Attr", L"Message", L"WavFile", L"MidFile", L"IconFile", L"Snooze", L"SkipHolidays",
                                L"Date"}) {
        for (int n = 0; n <= 21; ++n) names.push_back(NumberedName(base, n));
    }
    return names;
}

// What a reader must return for a stored value, straight from the stored bytes.
struct Oracle {
    const MemorySettingsStore& store;

    std::uint32_t Dword(std::wstring_view subkey, std::wstring_view name, std::uint32_t fallback) const {
        const auto* v = store.Find(subkey, name);
        if (!v || v->data.size() != 4) return fallback;
        const auto& d = v->data;
        return d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
    }
    std::wstring Text(std::wstring_view subkey, std::wstring_view name, std::wstring_view fallback) const {
        const auto* v = store.Find(subkey, name);
        if (!v || !IsTextType(v->type) || v->data.size() > kMaxTextBytes) return std::wstring(fallback);
        std::wstring text;
        for (std::size_t i = 0; i + 1 < v->data.size(); i += 2) {
            wchar_t c = static_cast<wchar_t>(v->data[i] | (v->data[i + 1] << 8));
            if (c == 0) break;
            text += c;
        }
        return text;
    }
    AlarmAttr Attr(int n) const {
        AlarmAttr attr = kDefaultAlarmAttr;
        const auto* v = store.Find(kAlarmSubkey, NumberedName(L"Attr", n));
        if (v && v->data.size() <= attr.size()) {
            for (std::size_t i = 0; i < v->data.size(); ++i) attr[i] = v->data[i];
        }
        return attr;
    }
};

using test::LoadAll;

void CheckRanges(const Settings& s, bool translucency) {
    for (std::size_t i = 1; i <= 2; ++i) FUZZ_CHECK(s.FontSize[i] >= 0.0f && s.FontSize[i] <= 655.35f);
    FUZZ_CHECK(static_cast<unsigned>(s.BackgroundKind) <= 3 && static_cast<unsigned>(s.Gradation) <= 3);
    FUZZ_CHECK(static_cast<unsigned>(s.AnnounceTiming) <= 15);
    FUZZ_CHECK(s.AnnounceHour <= 255 && s.AnnounceMinute <= 255 && s.TalkSpeed <= 15);
    FUZZ_CHECK(s.TranslucentRate <= kMaxTranslucentRate);
    FUZZ_CHECK(s.QuietFromHour <= 23 && s.QuietToHour <= 23 && s.QuietFromMinute <= 59 && s.QuietToMinute <= 59);
    if (!translucency) FUZZ_CHECK(s.TranslucentRate == 0 && !s.Translucent);
    for (const AlarmEntry& a : s.Alarms) {
        FUZZ_CHECK(a.Weekdays.size() == 7 && a.Weekdays.find_first_not_of(L"01") == std::wstring::npos);
        FUZZ_CHECK(a.Hour <= 255 && a.Minute <= 255 && a.IconIndex <= 255 && a.CdTrack <= 255 && a.CdTrackCount <= 255);
        FUZZ_CHECK(static_cast<unsigned>(a.SoundKind) <= 3 && static_cast<unsigned>(a.DialogPosition) <= 7);
        FUZZ_CHECK(a.SnoozeMinutes >= 1 && a.SnoozeMinutes <= kMaxSnoozeMinutes);
        FUZZ_CHECK(a.SnoozeLimit <= kMaxSnoozeCount || a.SnoozeLimit == kSnoozeUnlimited);
    }
}

void CheckSaveAndReload(const Settings& loaded, bool translucency) {
    Settings toSave = loaded;
    toSave.SetHiddenInTray(false);  // so that the placement is written too
    MemorySettingsStore again;
    again.SetRecording(false);
    test::SaveAll(again, toSave);
    Settings reloaded = LoadAll(again, translucency);
    FUZZ_CHECK(reloaded == toSave);
    FUZZ_CHECK(again.OpenKeyCount() == 0);
}

void FuzzStoredValues(Input& in, bool translucency) {
    static const std::vector<std::wstring> mainNames = MainNames();
    static const std::vector<std::wstring> alarmNames = AlarmNames();
    MemorySettingsStore store;
    store.SetRecording(false);
    while (!in.empty()) {
        bool alarm = in.Byte() & 1;
        const auto& names = alarm ? alarmNames : mainNames;
        const std::wstring& name = names[in.Byte() % names.size()];
        auto type = static_cast<ValueType>(in.Byte());
        store.Put(alarm ? kAlarmSubkey : kMainSubkey, name, type, in.Chunk());
    }

    Settings s = LoadAll(store, translucency);
    FUZZ_CHECK(store.OpenKeyCount() == 0);
    CheckRanges(s, translucency);

    Oracle stored{store};
    auto dword = [&](std::wstring_view name, std::uint32_t fallback) { return stored.Dword(L"", name, fallback); };
    FUZZ_CHECK(s.FontName[1] == stored.Text(L"", L"FontName1", kDefaultFontName1));
    FUZZ_CHECK(s.FontName[2] == stored.Text(L"", L"FontName2", kDefaultFontName2));
    FUZZ_CHECK(s.ImageFile == stored.Text(L"", L"ImageFile", L""));
    FUZZ_CHECK(s.BackgroundColor[1] == dword(L"BackgroundColor", kDefaultBackgroundColor));
    FUZZ_CHECK(s.BackgroundColor[2] == dword(L"BackgroundColor2", kDefaultBackgroundColor));
    for (std::size_t i = 1; i <= 6; ++i) {
        FUZZ_CHECK(s.FontColor[i] == dword(NumberedName(L"FontColor", int(i)), kDefaultFontColors[i - 1]));
    }
    for (std::size_t i = 1; i <= 2; ++i) {
        FUZZ_CHECK(PackFontStyle(s.FontSize[i], s.FontItalic[i], s.FontBold[i]) ==
                   (dword(NumberedName(L"FontStyle", int(i)), i == 1 ? kDefaultFontStyle1 : kDefaultFontStyle2) &
                    0x11FFFFu));
    }
    FUZZ_CHECK(s.Style == dword(L"Style", kDefaultStyle));
    FUZZ_CHECK(PackTalk(s) == (dword(L"Talk", kDefaultTalk) & 0x0F1FFFFFu));
    FUZZ_CHECK(s.QuietHours == ((dword(L"QuietHours", kDefaultQuietHours) >> 31) != 0));
    FUZZ_CHECK(s.QuietOnFocus == (dword(L"QuietOnFocus", kDefaultQuietOnFocus) != 0));
    FUZZ_CHECK(s.TalkPausedUntil == dword(L"TalkPausedUntil", kDefaultTalkPausedUntil));
    FUZZ_CHECK(s.TalkHotkey == (dword(L"TalkHotkey", kDefaultTalkHotkey) & kTalkHotkeyMask));
    FUZZ_CHECK(PackBackgroundType(s) == (dword(L"BackgroundType", 0) & 0xFu));
    const std::uint32_t translucent = dword(L"TranslucentRate", 0);
    if (translucency)
        FUZZ_CHECK(PackTranslucentRate(s) == (std::min(translucent & 0xFFu, kMaxTranslucentRate) | (translucent & 0x100u)));
    FUZZ_CHECK(s.WindowLeft == static_cast<std::int32_t>(dword(L"PosX", std::uint32_t(-1))));
    FUZZ_CHECK(s.WindowTop == static_cast<std::int32_t>(dword(L"PosY", std::uint32_t(-1))));
    FUZZ_CHECK(s.WindowWidth == static_cast<std::int32_t>(dword(L"Width", 5400)));
    FUZZ_CHECK(s.WindowHeight == static_cast<std::int32_t>(dword(L"Height", 3500)));
    for (int n = 1; n <= kAlarmCount; ++n) {
        const AlarmEntry& a = s.Alarms[static_cast<std::size_t>(n - 1)];
        AlarmAttr attr = stored.Attr(n);
        attr[3] &= 0x7F;  // bit 7 is not a day
        FUZZ_CHECK(PackAlarmAttr(a) == attr);
        for (const auto& [base, text] : {std::pair{L"Message", &a.Message}, {L"WavFile", &a.WavFile},
                                         {L"MidFile", &a.MidFile}, {L"IconFile", &a.IconFile}}) {
            FUZZ_CHECK(*text == stored.Text(kAlarmSubkey, NumberedName(base, n), L""));
        }
        FUZZ_CHECK(a.OneOffDate == stored.Dword(kAlarmSubkey, NumberedName(L"Date", n), 0));
        FUZZ_CHECK(a.SkipHolidays == (stored.Dword(kAlarmSubkey, NumberedName(L"SkipHolidays", n), 0) != 0));
    }
    CheckSaveAndReload(s, translucency);
}

void FuzzOldTexts(Input& in, bool translucency, bool withVersion, bool yes) {
    static const std::vector<std::wstring> sections = {L"Others", L"Window", L"Talk", L"Alarm1", L"Alarm5",
                                                       L"Alarm9", L"Alarm10"};
    static const std::vector<std::wstring> keys = {
        L"AlphabeticFontName", L"NumericFontName", L"AlphabeticFontSize", L"AlphabeticFontBold",
        L"AlphabeticFontItalic", L"NumericFontSize", L"NumericFontBold", L"NumericFontItalic",
        L"CalendarBackColor", L"AlphabeticForeColor", L"TodayColor", L"HolidayColor", L"NumericForeColor",
        L"SaturdayColor", L"Timing", L"Hour", L"Minute", L"AmPm", L"Width", L"Height", L"PosX", L"PosY",
        L"TopMost", L"TitleBar", L"Hide", L"TransParent", L"Enabled", L"WaveLoop", L"RandomPlay", L"SoundType",
        L"WinPos", L"WeekEnabled", L"IconPos", L"Track", L"MaxTrack", L"Message", L"WaveFile", L"MIDIFile",
        L"IconFile", L"Version"};
    MemoryOldSettingsStore old;
    if (withVersion) old.Put(L"Others", L"Version", L"1.0");
    while (!in.empty()) {
        const std::wstring& section = sections[in.Byte() % sections.size()];
        const std::wstring& key = keys[in.Byte() % keys.size()];
        std::wstring text;
        for (std::uint8_t b : in.Chunk()) text += static_cast<wchar_t>(b < 0xF0 ? b : 0x3000 + b);
        old.Put(section, key, text);
    }
    const bool marked = old.ReadOldSetting(L"Others", L"Version", L"*") != L"*";

    MemorySettingsStore store;
    store.SetRecording(false);
    test::ScriptedPrompt answer(yes);
    MigratePreviousSettings(store, old, answer);
    FUZZ_CHECK(store.OpenKeyCount() == 0);
    if (!marked) {
        FUZZ_CHECK(store.OperationCount() == 0);
        return;
    }
    FUZZ_CHECK(old.deleteCount() == (yes ? 1 : 0));
    // The conversion never sets bits outside the fields it writes.
    FUZZ_CHECK((*store.Dword(L"", L"Talk") & ~0x001FFFFFu) == 0);
    FUZZ_CHECK(((*store.Dword(L"", L"FontStyle1") | *store.Dword(L"", L"FontStyle2")) & ~0x0011FFFFu) == 0);
    FUZZ_CHECK(*store.Dword(L"", L"Style") <= 7);
    FUZZ_CHECK(*store.Dword(L"", L"BackgroundType") <= 2);
    for (int n = 1; n <= kAlarmCount; ++n) {
        auto attr = store.Binary(kAlarmSubkey, NumberedName(L"Attr", n));
        FUZZ_CHECK(!attr || (n <= 9 && attr->size() == kAlarmAttrSize));
    }
    Settings s = LoadAll(store, translucency);
    CheckRanges(s, translucency);
    FUZZ_CHECK(s.TalkSpeed == 0);
    FUZZ_CHECK(static_cast<unsigned>(s.BackgroundKind) <= 2 && s.Gradation == Gradation::None);
    CheckSaveAndReload(s, translucency);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t mode = in.Byte();
    if (mode & 2) {
        FuzzOldTexts(in, mode & 1, (mode & 4) != 0, (mode & 8) != 0);
    } else {
        FuzzStoredValues(in, mode & 1);
    }
    return 0;
}
