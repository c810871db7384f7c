#include "alarm/alarm_overview.h"

#include <cwctype>

namespace hv {

namespace {

constexpr wchar_t kWeekdayNames[] = L"日月火水木金土";

std::wstring TwoDigits(int value) {
    return {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10)};
}

bool IsDateSeparator(wchar_t c) {
    return c == L'/' || c == L'-' || c == L'.' || c == L'／' || c == L'－' || c == L'．';
}

std::wstring SoundText(const AlarmEntry& alarm) {
    const auto fileName = [](const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); };
    switch (alarm.SoundKind) {
    case SoundKind::Wave:
        return alarm.WavFile.empty() ? L"なし" : fileName(alarm.WavFile);
    case SoundKind::Midi:
        return alarm.MidFile.empty() ? L"なし" : fileName(alarm.MidFile);
    case SoundKind::CdAudio:
        return alarm.CdRandom ? L"CD ランダム" : L"CD トラック " + std::to_wstring(alarm.CdTrack);
    }
    return L"なし";
}

// Whether the alarm's time of day is before hour:minute.
bool TimeBefore(const AlarmEntry& alarm, int hour, int minute) {
    return alarm.Hour * 60 + alarm.Minute < hour * 60 + minute;
}

}  // namespace

std::wstring DaysText(const AlarmEntry& alarm) {
    if (alarm.OneOffDate != 0) return DateText(alarm.OneOffDate);
    std::wstring days;
    for (int weekday = 1; weekday <= kWeekdayCount; ++weekday)
        if (alarm.AllowsWeekday(weekday)) days += kWeekdayNames[weekday - 1];
    return days.size() == kWeekdayCount ? L"毎日" : days.empty() ? L"なし" : days;
}

OverviewLine OverviewLineOf(int index, const AlarmEntry& alarm) {
    return {std::to_wstring(index + 1),
            alarm.Enabled ? L"オン" : L"オフ",
            std::to_wstring(alarm.Hour) + L":" + TwoDigits(alarm.Minute),
            DaysText(alarm),
            alarm.SkipHolidays && alarm.OneOffDate == 0 ? L"休む" : L"",
            alarm.Message,
            SoundText(alarm)};
}

std::wstring DateText(std::uint32_t ymd) {
    if (ymd == 0) return {};
    const Date date = DateFromYmd(ymd);
    return std::to_wstring(date.year) + L"/" + TwoDigits(date.month) + L"/" + TwoDigits(date.day);
}

std::optional<std::uint32_t> ParseDateText(std::wstring_view text) {
    int parts[3] = {};
    int part = 0, digits = 0;
    bool separated = true;
    for (wchar_t c : text) {
        if (c >= L'０' && c <= L'９') c = static_cast<wchar_t>(c - L'０' + L'0');
        if (c >= L'0' && c <= L'9') {
            if (part > 2 || ++digits > (part == 0 ? 4 : 2)) return std::nullopt;
            parts[part] = parts[part] * 10 + (c - L'0');
            separated = false;
        } else if (IsDateSeparator(c) && !separated && part < 2) {
            ++part;
            digits = 0;
            separated = true;
        } else if (!std::iswspace(c) && c != L'　') {
            return std::nullopt;
        }
    }
    const Date date{parts[0], parts[1], parts[2]};
    if (part != 2 || separated || date.year < 1000 || !IsValidDate(date)) return std::nullopt;
    return static_cast<std::uint32_t>(YmdOf(date));
}

bool OneOffInPast(const AlarmEntry& alarm, const Date& today, int hour, int minute) {
    if (!alarm.Enabled || alarm.OneOffDate == 0) return false;
    const Date date = DateFromYmd(alarm.OneOffDate);
    if (date == today) return TimeBefore(alarm, hour, minute);
    return date < today;
}

std::uint32_t FirstOneOffDate(const AlarmEntry& alarm, const Date& today, int hour, int minute) {
    const Date day = TimeBefore(alarm, hour, minute) ? DateFromDayNumber(DayNumber(today) + 1) : today;
    return static_cast<std::uint32_t>(YmdOf(day));
}

std::wstring PastDateMessage(int index) {
    return L"アラーム " + std::to_wstring(index + 1) +
           L" の日付と時刻は過ぎています。これからの日時を指定してください。";
}

std::wstring SnoozeLimitText(int option) {
    if (option <= 0) return L"なし";
    if (option > kMaxSnoozeCount) return L"無制限";
    return std::to_wstring(option) + L"回";
}

int SnoozeLimitOption(std::uint16_t limit) {
    return limit == kSnoozeUnlimited ? kMaxSnoozeCount + 1 : std::min<int>(limit, kMaxSnoozeCount);
}

std::uint16_t SnoozeLimitOfOption(int option) {
    return option > kMaxSnoozeCount ? kSnoozeUnlimited : static_cast<std::uint16_t>(std::max(option, 0));
}

}  // namespace hv
