// What the notification-area icon and the face tell when the mouse rests on them: when the
// next alarm goes off. Portable: the caller reads the clock.
#pragma once

#include <optional>
#include <string>

#include "app/tick_schedule.h"
#include "settings/settings.h"

namespace hv {

// The minute (MinuteNumber) of the next time an enabled alarm goes off after the minute of
// `now` (weekly ones within a year), or of `snoozeDue`, a snooze waiting, if that is sooner.
std::optional<long long> NextAlarmMinute(const Settings& settings, const WallClock& now,
                                         std::optional<long long> snoozeDue = {});

// "次のアラーム 12月10日(木) 7:00" for NextAlarmMinute, or an empty text when no alarm is to come.
std::wstring NextAlarmText(const Settings& settings, const WallClock& now, std::optional<long long> snoozeDue = {});

}  // namespace hv
