// The application object: the process-wide records, owned in one place and passed by
// reference to whoever needs them (no mutable globals).
#pragma once

#include <string>

#include "app/system_info.h"
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
    MonthCalendar calendar;
    Date calendarDate;     // the day `calendar` was computed for (holiday names)
    std::wstring helpFile;  // AppPath + "Horavx.hlp"
};

}  // namespace hv
