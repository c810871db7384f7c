// The alarm dialog's overview of all 20 alarms, one line each, and the rules of the controls
// that came with the holiday rule, the one-off date and snooze.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "face/civil_date.h"
#include "settings/settings.h"

namespace hv {

// The overview's columns: "番号", "実行", "時刻", "曜日・日付", "祝日", "メッセージ", "音".
inline constexpr int kOverviewColumns = 7;
using OverviewLine = std::array<std::wstring, kOverviewColumns>;
OverviewLine OverviewLineOf(int index, const AlarmEntry& alarm);

// When a weekly alarm goes off ("月火水木金", "毎日", "なし") or a one-off one's date.
std::wstring DaysText(const AlarmEntry& alarm);

// The one-off date box: "2026/12/10" for a stored date (empty for 0), and back. The box
// takes year/month/day with '/', '-' or '.' between, leading zeros or not, surrounding
// spaces and full-width digits too (an input method left on); nothing that is no date.
std::wstring DateText(std::uint32_t ymd);
std::optional<std::uint32_t> ParseDateText(std::wstring_view text);
// Whether OK refuses the alarm: enabled, one-off, and its date and time before the minute
// of `today` hour:minute (the minute under way still goes off as the dialog closes).
bool OneOffInPast(const AlarmEntry& alarm, const Date& today, int hour, int minute);
// The date a one-off alarm's box starts from when none is typed: `today`, or tomorrow once
// the alarm's time is before the minute of hour:minute.
std::uint32_t FirstOneOffDate(const AlarmEntry& alarm, const Date& today, int hour, int minute);
// The message OK shows for it, naming the alarm (0..19).
std::wstring PastDateMessage(int index);

// The snooze limit list: "なし", "1回" ... "10回", "無制限", and the option of a limit.
inline constexpr int kSnoozeLimitOptions = kMaxSnoozeCount + 2;
std::wstring SnoozeLimitText(int option);
int SnoozeLimitOption(std::uint16_t limit);
std::uint16_t SnoozeLimitOfOption(int option);

}  // namespace hv
