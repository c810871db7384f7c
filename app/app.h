// The application object: the process-wide records, owned in one place and passed by
// reference to whoever needs them (no mutable globals).
#pragma once

#include "app/system_info.h"
#include "face/month_calendar.h"
#include "settings/settings.h"

namespace hv {

class AlarmActions;
class HvplusLibrary;

struct App {
    SystemInfo system;
    Settings settings;
    MonthCalendar calendar;           // of today; the minute tick recomputes it when the date changes
    HvplusLibrary* hvplus = nullptr;  // bound by name on first use
    AlarmActions* alarms = nullptr;   // sounds, notifications and alarm commands
};

}  // namespace hv
