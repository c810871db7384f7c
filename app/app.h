// The application object: the process-wide records, owned in one place and passed by
// reference to whoever needs them (no mutable globals).
#pragma once

#include <array>
#include <cstdint>

#include "util/system_info.h"
#include "face/civil_date.h"
#include "face/month_calendar.h"
#include "settings/settings.h"

namespace hv {

class AlarmActions;
class HvplusLibrary;
class SettingsStore;

struct App {
    SystemInfo system;
    HvplusLibrary* hvplus = nullptr;  // bound by name on first use
    SettingsStore* store = nullptr;   // the per-user registry in the program
    AlarmActions* alarms = nullptr;   // null where no alarm can fire (tests)
    Settings settings;
    MonthCalendar calendar;  // of today; the minute tick recomputes it when the date changes
    Date calendarDate;       // the day `calendar` was computed for (holiday names)
    // The colour chooser's custom colours, kept for the run and never stored.
    std::array<std::uint32_t, 16> customColors{};
};

}  // namespace hv
