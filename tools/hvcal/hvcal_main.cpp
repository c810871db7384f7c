// hvcal: prints a month with its national holidays, every holiday of a span of years, or the
// lunisolar date and 六曜 of every day of a span of years, from the same code the face uses. A
// developer's tool for checking the rules against published calendars; output is UTF-8.
//
//   hvcal YEAR MONTH                   the month as a grid, holidays marked '*' and named below
//   hvcal --holidays FIRST LAST        one line per holiday, "YYYY-MM-DD name", in date order
//   hvcal --lunar FIRST LAST           one line per day, "YYYY-MM-DD 旧M月D日 六曜" (a leap month
//                                      "旧閏M月D日"), in date order
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "face/holidays.h"
#include "face/lunisolar.h"
#include "face/month_calendar.h"

namespace {

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool ParseInt(const char* text, int low, int high, int& value) {
    const std::string_view s(text);
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() && value >= low && value <= high;
}

constexpr const char* kWeekdayNames[7] = {"日", "月", "火", "水", "木", "金", "土"};

// Prints a line without the blanks that the fixed-width cells leave at its end.
void PutLine(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    std::printf("%s\n", line.c_str());
}

void PrintMonth(int year, int month) {
    const hv::MonthCalendar calendar = hv::ComputeMonthCalendar(hv::Date{year, month, 1});
    std::printf("%d年%d月\n", year, month);
    std::string line;
    for (const char* name : kWeekdayNames) line += std::string(" ") + name + " ";
    PutLine(line);

    // Four columns a cell: the mark, the day right-aligned in two, a blank.
    line = std::string(4 * (calendar.FirstWeekday - 1), ' ');
    int slot = 1;
    int column = calendar.FirstWeekday - 1;
    for (int day = 1; day <= calendar.DaysInMonth; ++day) {
        const bool holiday = calendar.Holidays[slot] == day;
        if (holiday) ++slot;
        char cell[8];
        std::snprintf(cell, sizeof cell, "%c%2d ", holiday ? '*' : ' ', day);
        line += cell;
        if (++column == 7) {
            PutLine(line);
            line.clear();
            column = 0;
        }
    }
    if (!line.empty()) PutLine(line);

    const auto holidays = hv::HolidaysOfMonth(year, month);
    if (!holidays.empty()) std::printf("\n");
    for (const hv::Holiday& holiday : holidays) {
        std::printf("*%2d日(%s) %s\n", holiday.date.day, kWeekdayNames[hv::WeekdayOf(holiday.date) - 1],
                    ToUtf8(holiday.name).c_str());
    }
}

void PrintHolidays(int firstYear, int lastYear) {
    for (int year = firstYear; year <= lastYear; ++year) {
        for (const hv::Holiday& holiday : hv::HolidaysOfYear(year)) {
            std::printf("%04d-%02d-%02d %s\n", holiday.date.year, holiday.date.month, holiday.date.day,
                        ToUtf8(holiday.name).c_str());
        }
    }
}

void PrintLunar(int firstYear, int lastYear) {
    const long long first = hv::DayNumber({firstYear, 1, 1});
    const long long last = hv::DayNumber({lastYear, 12, 31});
    std::string out;
    for (const hv::LunarMonth& month : hv::LunarMonthsCovering(first, last)) {
        for (int day = 1; day <= month.days; ++day) {
            const long long number = month.firstDay + day - 1;
            if (number < first || number > last) continue;
            const hv::Date date = hv::DateFromDayNumber(number);
            const hv::LunarDate lunar{month.year, month.month, month.leap, day};
            char line[64];
            std::snprintf(line, sizeof line, "%04d-%02d-%02d 旧%s%d月%d日 ", date.year, date.month, date.day,
                          month.leap ? "閏" : "", month.month, day);
            out += line;
            out += ToUtf8(hv::RokuyoName(hv::RokuyoOf(lunar)));
            out += '\n';
        }
        // Written a month at a time: 55,000 lines for 1948-2099.
        std::fputs(out.c_str(), stdout);
        out.clear();
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: hvcal YEAR MONTH\n"
                 "       hvcal --holidays FIRST_YEAR LAST_YEAR\n"
                 "       hvcal --lunar FIRST_YEAR LAST_YEAR\n"
                 "Years 1..9999; holidays are known from 1948-07-20 to 2099-12-31, the lunisolar\n"
                 "calendar for the years 1900 to 2199.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int a = 0;
    int b = 0;
    if (argc == 4 && std::string_view(argv[1]) == "--holidays") {
        if (!ParseInt(argv[2], 1, 9999, a) || !ParseInt(argv[3], 1, 9999, b) || a > b) return Usage();
        PrintHolidays(a, b);
        return 0;
    }
    if (argc == 4 && std::string_view(argv[1]) == "--lunar") {
        if (!ParseInt(argv[2], hv::kFirstLunarYear, hv::kLastLunarYear, a) ||
            !ParseInt(argv[3], hv::kFirstLunarYear, hv::kLastLunarYear, b) || a > b)
            return Usage();
        PrintLunar(a, b);
        return 0;
    }
    if (argc == 3) {
        if (!ParseInt(argv[1], 1, 9999, a) || !ParseInt(argv[2], 1, 12, b)) return Usage();
        PrintMonth(a, b);
        return 0;
    }
    return Usage();
}
