#include "settings/migration.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "util/units.h"
#include "settings/settings.h"
#include "settings/settings_schema.h"

namespace hv {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool EqualsAsciiNoCase(std::wstring_view text, std::wstring_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lower[i]) return false;
    }
    return true;
}

std::optional<std::int32_t> ToInt32(double value) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::uint8_t> ToByte(double value) {
    double rounded = RoundHalfEven(value);
    if (!(rounded >= 0 && rounded <= 255)) return std::nullopt;
    return static_cast<std::uint8_t>(rounded);
}

// Reads one old section. Every conversion that cannot be made (a text that is not a
// number, a number outside the range of its target) yields the value's default, as a
// missing value would, so no converted value spills outside the bits of its field.
class OldSection {
public:
    OldSection(OldSettingsStore& old, std::wstring section) : old_(old), section_(std::move(section)) {}

    std::wstring Text(std::wstring_view key, std::wstring_view fallback) const {
        return old_.ReadOldSetting(section_, key, fallback);
    }
    double Number(std::wstring_view key, double fallback) const {
        return ParseOldNumber(Text(key, NumberedName(L"", static_cast<int>(fallback)))).value_or(fallback);
    }
    std::int32_t Integer(std::wstring_view key, std::int32_t fallback) const {
        auto number = ParseOldNumber(Text(key, NumberedName(L"", fallback)));
        return number ? ToInt32(*number).value_or(fallback) : fallback;
    }
    // A flag that the old version stored as 0/1 or as a Boolean (-1 or "True").
    bool Flag(std::wstring_view key) const { return Integer(key, 0) != 0; }
    std::uint8_t Byte(std::wstring_view key) const {
        auto number = ParseOldNumber(Text(key, L"0"));
        return number ? ToByte(*number).value_or(0) : 0;
    }
    // A font size in points, kept only when its hundredths fit the 16 bits they are stored in.
    float Size(std::wstring_view key, float fallback) const {
        auto number = ParseOldNumber(Text(key, NumberedName(L"", static_cast<int>(fallback))));
        if (!number) return fallback;
        auto size = static_cast<float>(*number);
        double hundredths = RoundHalfEven(static_cast<double>(size) * 100.0);
        return hundredths >= 0 && hundredths <= 0xFFFF ? size : fallback;
    }

private:
    OldSettingsStore& old_;
    std::wstring section_;
};

std::uint32_t OldFontStyle(const OldSection& window, std::wstring_view prefix, float defaultSize) {
    std::wstring base(prefix);
    float size = window.Size(base + L"FontSize", defaultSize);
    bool bold = window.Flag(base + L"FontBold");
    bool italic = window.Flag(base + L"FontItalic");
    return PackFontStyle(size, italic, bold);
}

// The old announcement choices were numbered differently.
std::uint32_t NewTiming(std::int32_t oldTiming) {
    constexpr std::array<AnnounceTiming, 7> kMap{
        AnnounceTiming::AnnounceEveryMinute, AnnounceTiming::AnnounceEvery30Minutes,
        AnnounceTiming::AnnounceHourly,      AnnounceTiming::AnnounceFixedTime,
        AnnounceTiming::AnnounceNone,        AnnounceTiming::AnnounceEvery10Minutes,
        AnnounceTiming::AnnounceEvery15Minutes};
    if (oldTiming >= 0 && oldTiming < static_cast<std::int32_t>(kMap.size())) {
        return static_cast<std::uint32_t>(kMap[static_cast<std::size_t>(oldTiming)]);
    }
    // Other values that fit the four bits of the timing are kept; the rest would spill
    // into the neighbouring fields and are read as a missing value.
    if (oldTiming >= 0 && oldTiming <= 15) return static_cast<std::uint32_t>(oldTiming);
    return static_cast<std::uint32_t>(AnnounceTiming::AnnounceEveryMinute);
}

std::uint32_t OldTalk(const OldSection& talk) {
    std::uint32_t timing = NewTiming(talk.Integer(L"Timing", 0));
    auto byteField = [](std::int32_t v) { return v >= 0 && v <= 255 ? static_cast<std::uint32_t>(v) : 0u; };
    std::uint32_t hour = byteField(talk.Integer(L"Hour", 0));
    std::uint32_t minute = byteField(talk.Integer(L"Minute", 0));
    // AmPm 1 is the 12-hour clock, 0 the 24-hour clock; Clock24 is its complement. Other
    // values would set bits outside Clock24 and count as "not 0", the 12-hour clock.
    std::uint32_t clock24 = talk.Integer(L"AmPm", 1) == 0 ? 1u : 0u;
    return minute + (hour << 8) + (timing << 16) + (clock24 << 20);
}

// The old "transparent" switch selects the desktop picture as background. Values that are
// background kinds already are kept; any other "on" value (such as a Boolean -1) is 1.
std::uint32_t OldBackgroundType(std::int32_t transparent) {
    if (transparent >= 0 && transparent <= 2) return static_cast<std::uint32_t>(transparent);
    return 1;
}

// Weekday byte from the old seven-digit text: each digit weighs 2^(7 - position). A
// character that is not a digit, and a position beyond the end of a short text, add
// nothing; a sum that does not fit a byte (digits above 1) falls back to every weekday.
std::uint8_t OldWeekdays(std::wstring_view text) {
    unsigned sum = 0;
    for (std::size_t i = 1; i <= kWeekdayCount && i <= text.size(); ++i) {
        wchar_t c = text[i - 1];
        if (IsDigit(c)) sum += static_cast<unsigned>(c - L'0') << (7 - i);
    }
    return sum <= 255 ? static_cast<std::uint8_t>(sum) : kDefaultAlarmAttr[3];
}

// One value the conversion stores, in the main key or the alarm key.
struct ConvertedValue {
    bool alarmKey = false;
    std::wstring name;
    std::variant<std::uint32_t, std::wstring, AlarmAttr> value;
};
using Conversion = std::vector<ConvertedValue>;

void ConvertMainValues(OldSettingsStore& old, Conversion& out) {
    OldSection window(old, L"Window");
    OldSection talk(old, L"Talk");
    auto put = [&](const wchar_t* name, std::variant<std::uint32_t, std::wstring, AlarmAttr> value) {
        out.push_back({false, name, std::move(value)});
    };
    auto putInt = [&](const wchar_t* name, std::int32_t value) { put(name, static_cast<std::uint32_t>(value)); };

    put(L"FontName1", window.Text(L"AlphabeticFontName", kDefaultFontName1));
    put(L"FontName2", window.Text(L"NumericFontName", kDefaultFontName2));
    put(L"FontStyle1", OldFontStyle(window, L"Alphabetic", 15.0f));
    put(L"FontStyle2", OldFontStyle(window, L"Numeric", 24.0f));
    putInt(L"BackgroundColor", window.Integer(L"CalendarBackColor", 0xC0C0C0));
    putInt(L"FontColor1", window.Integer(L"AlphabeticForeColor", 0x800000));
    putInt(L"FontColor2", window.Integer(L"TodayColor", 0x00FFFF));
    putInt(L"FontColor3", window.Integer(L"HolidayColor", 0x0000FF));
    putInt(L"FontColor4", window.Integer(L"NumericForeColor", 0x008000));
    putInt(L"FontColor5", window.Integer(L"SaturdayColor", 0xFFFF00));
    put(L"Talk", OldTalk(talk));
    putInt(L"Width", window.Integer(L"Width", kDefaultWidth));
    putInt(L"Height", window.Integer(L"Height", kDefaultHeight));
    putInt(L"PosX", window.Integer(L"PosX", kDefaultPosX));
    putInt(L"PosY", window.Integer(L"PosY", kDefaultPosY));
    bool topMost = window.Flag(L"TopMost");
    bool titleBar = window.Flag(L"TitleBar");
    bool hide = window.Flag(L"Hide");
    put(L"Style", (topMost ? kStyleAlwaysOnTop : 0) | (titleBar ? kStyleTitleBarHidden : 0) |
                      (hide ? kStyleHiddenInTray : 0));
    put(L"BackgroundType", OldBackgroundType(window.Integer(L"TransParent", 0)));
}

void ConvertAlarm(OldSettingsStore& old, int n, Conversion& out) {
    OldSection alarm(old, NumberedName(L"Alarm", n));
    // WaveLoop and RandomPlay were Booleans (-1 when on), hence their minus signs.
    double enabled = alarm.Number(L"Enabled", 0);
    double loop = alarm.Number(L"WaveLoop", 0);
    double random = alarm.Number(L"RandomPlay", 0);
    double kind = alarm.Number(L"SoundType", 0);
    double position = alarm.Number(L"WinPos", 0);
    AlarmAttr attr{};
    attr[0] = ToByte(enabled * 128 - loop * 64 - random * 32 + kind * 8 + position).value_or(0);
    attr[1] = alarm.Byte(L"Hour");
    attr[2] = alarm.Byte(L"Minute");
    attr[3] = OldWeekdays(alarm.Text(L"WeekEnabled", kEveryWeekday));
    attr[4] = alarm.Byte(L"IconPos");
    attr[5] = alarm.Byte(L"Track");
    attr[6] = alarm.Byte(L"MaxTrack");
    if (attr != kDefaultAlarmAttr) out.push_back({true, NumberedName(L"Attr", n), attr});

    const std::pair<const wchar_t*, const wchar_t*> texts[] = {
        {L"Message", L"Message"}, {L"WaveFile", L"WavFile"}, {L"MIDIFile", L"MidFile"}, {L"IconFile", L"IconFile"}};
    for (const auto& [oldKey, newName] : texts) {
        std::wstring text = alarm.Text(oldKey, L"");
        if (!text.empty()) out.push_back({true, NumberedName(newName, n), std::move(text)});
    }
}

constexpr int kOldAlarmCount = 9;

// Every value the old settings give, in the order they are written.
Conversion ConvertOldSettings(OldSettingsStore& old) {
    Conversion conversion;
    ConvertMainValues(old, conversion);
    for (int n = 1; n <= kOldAlarmCount; ++n) ConvertAlarm(old, n, conversion);
    return conversion;
}

struct ValueWriter {
    SettingsStore& store;
    SettingsKey key;
    const std::wstring& name;
    bool operator()(std::uint32_t value) const { return store.SetDwordValue(key, name, value); }
    bool operator()(const std::wstring& text) const { return store.SetTextValue(key, name, text); }
    bool operator()(const AlarmAttr& attr) const { return store.SetBinaryValue(key, name, attr); }
};

std::uint32_t ConversionState(SettingsStore& store) {
    ScopedSettingsKey key(store);
    return key.Open(kMainSubkey) == kStoreSuccess ? store.GetDwordValue(key.get(), kMigratedValueName, 0) : 0;
}

std::vector<std::wstring> SplitNames(std::wstring_view list) {
    std::vector<std::wstring> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(L' ', start), list.size());
        if (end > start) names.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::wstring JoinNames(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& name : names) list += (list.empty() ? L"" : L" ") + name;
    return list;
}

// Value names, as the registry compares them.
bool Listed(std::span<const std::wstring> names, std::wstring_view name) {
    const RegistryNameLess less;
    return std::any_of(names.begin(), names.end(),
                       [&](const std::wstring& n) { return !less(n, name) && !less(name, n); });
}

// Stores what is left of the conversion; true once every converted value is stored and the
// conversion is recorded as done. A first run lists every value it is about to write in the
// key it goes to, and records the conversion as under way, before it writes any; what fails
// stays listed. A later start writes only what is still listed, and the program's own saves
// strike from the lists what the user stores meanwhile (ForgetPendingConversion), so a
// resumed conversion never writes over a value the user has changed since.
bool Convert(SettingsStore& store, OldSettingsStore& old, bool underway) {
    std::array<ScopedSettingsKey, 2> keys{ScopedSettingsKey(store), ScopedSettingsKey(store)};
    if (keys[0].Create(kMainSubkey) != kStoreSuccess || keys[1].Create(kAlarmSubkey) != kStoreSuccess) return false;
    const Conversion conversion = ConvertOldSettings(old);
    std::array<std::vector<std::wstring>, 2> pending;
    if (underway) {
        for (std::size_t k = 0; k < keys.size(); ++k)
            pending[k] = SplitNames(store.GetTextValue(keys[k].get(), kMigrationPendingValueName, L""));
    } else {
        for (const ConvertedValue& v : conversion) pending[v.alarmKey].push_back(v.name);
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (!store.SetTextValue(keys[k].get(), kMigrationPendingValueName, JoinNames(pending[k]))) return false;
        if (!store.SetDwordValue(keys[0].get(), kMigratedValueName, kMigrationUnderway)) return false;
    }
    std::array<std::vector<std::wstring>, 2> left;
    for (const ConvertedValue& v : conversion) {
        const SettingsKey key = keys[v.alarmKey].get();
        if (Listed(pending[v.alarmKey], v.name) && !std::visit(ValueWriter{store, key, v.name}, v.value))
            left[v.alarmKey].push_back(v.name);
    }
    // A list that cannot be shortened only makes a later start write the same values again.
    bool done = true;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (left[k].empty()) continue;
        done = false;
        if (left[k] != pending[k]) store.SetTextValue(keys[k].get(), kMigrationPendingValueName, JoinNames(left[k]));
    }
    if (!done || !store.SetDwordValue(keys[0].get(), kMigratedValueName, kMigrationDone)) return false;
    for (const ScopedSettingsKey& key : keys) store.DeleteSettingsValue(key.get(), kMigrationPendingValueName);
    return true;
}

}  // namespace

std::optional<double> ParseOldNumber(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    if (EqualsAsciiNoCase(text, L"true")) return -1.0;
    if (EqualsAsciiNoCase(text, L"false")) return 0.0;

    if (text.size() > 2 && text[0] == L'&' && (text[1] == L'H' || text[1] == L'h')) {
        std::wstring_view digits = text.substr(2);
        if (digits.size() > 8) return std::nullopt;
        std::uint32_t value = 0;
        for (wchar_t c : digits) {
            unsigned d;
            if (IsDigit(c)) d = static_cast<unsigned>(c - L'0');
            else if (c >= L'a' && c <= L'f') d = static_cast<unsigned>(c - L'a' + 10);
            else if (c >= L'A' && c <= L'F') d = static_cast<unsigned>(c - L'A' + 10);
            else return std::nullopt;
            value = value * 16 + d;
        }
        return static_cast<double>(static_cast<std::int32_t>(value));  // a 32-bit word, as the old version wrote it
    }

    // Decimal: [+-] digits [. digits] [e [+-] digits], with at least one digit before the
    // exponent. Checked here because from_chars also takes "inf", "nan" and hex floats.
    std::string ascii;
    std::size_t i = 0;
    auto at = [&](auto... options) { return i < text.size() && ((text[i] == options) || ...); };
    auto takeDigits = [&] {
        std::size_t count = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++count) ascii += static_cast<char>(text[i]);
        return count;
    };
    bool negative = false;
    if (at(L'+', L'-')) negative = text[i++] == L'-';
    std::size_t mantissaDigits = takeDigits();
    if (at(L'.')) {
        ascii += '.';
        ++i;
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (at(L'e', L'E')) {
        ascii += 'e';
        ++i;
        if (at(L'+', L'-')) ascii += static_cast<char>(text[i++]);
        if (takeDigits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::wstring MigrationQuestionText(std::wstring_view oldVersion) {
    std::wstring text = L"このコンピュータには、以前のバージョン（Ver";
    text += oldVersion;
    text += L"）の設定が残っています。\r\n";
    text += L"現バージョンへ引継いだので、以前のバージョンの設定は今後使いません。\r\n";
    text += L"\r\n";
    text += L"以前のバージョンの設定情報を削除しても宜しいですか？\r\n";
    text += L"[いいえ]を選んだ場合、次回起動時にも、このダイアログを表示します。";
    return text;
}

bool ForgetPendingConversion(SettingsStore& store, SettingsKey key, std::span<const std::wstring> names) {
    const std::vector<std::wstring> pending = SplitNames(store.GetTextValue(key, kMigrationPendingValueName, L""));
    std::vector<std::wstring> left;
    for (const std::wstring& name : pending)
        if (!Listed(names, name)) left.push_back(name);
    return left.size() == pending.size() || store.SetTextValue(key, kMigrationPendingValueName, JoinNames(left));
}

void MigratePreviousSettings(SettingsStore& store, OldSettingsStore& old, ConfirmationPrompt& prompt) {
    // The presence marker: without an old version number there is nothing to convert.
    std::wstring version = old.ReadOldSetting(L"Others", L"Version", L"*");
    if (version == L"*") return;
    // Converted at an earlier start whose question was answered No: converting again would
    // overwrite what the user has changed since, so only the question comes back.
    const std::uint32_t state = ConversionState(store);
    if (state != kMigrationDone && !Convert(store, old, state == kMigrationUnderway)) return;
    // The old settings go only once their conversion is wholly stored.
    if (prompt.AskYesNo(kMigrationQuestionTitle, MigrationQuestionText(version))) old.DeleteOldSettings();
}

std::wstring MemoryOldSettingsStore::ReadOldSetting(std::wstring_view section, std::wstring_view key,
                                                    std::wstring_view fallback) {
    auto s = sections_.find(section);
    if (s == sections_.end()) return std::wstring(fallback);
    auto v = s->second.find(key);
    return v == s->second.end() ? std::wstring(fallback) : v->second;
}

void MemoryOldSettingsStore::DeleteOldSettings() {
    ++deleteCount_;
    sections_.clear();
}

void MemoryOldSettingsStore::Put(std::wstring_view section, std::wstring_view key, std::wstring_view text) {
    sections_[std::wstring(section)][std::wstring(key)] = std::wstring(text);
}

}  // namespace hv
