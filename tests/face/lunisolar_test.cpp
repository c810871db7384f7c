#include "face/lunisolar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "face/astronomy.h"

namespace hv {
namespace {

// The Julian day (UT) of a time of day.
double Jd(Date date, int hour, int minute) {
    return kJulianDayOfUnixEpoch + static_cast<double>(DayNumber(date)) + (hour * 60 + minute) / 1440.0;
}

TEST(Astronomy, NewMoonsAndSolarTermsFallWithinAMinuteOfPublishedInstants) {
    // New moons as published to the minute (UT).
    for (const double published : {Jd({2024, 1, 11}, 11, 57), Jd({2025, 1, 29}, 12, 36), Jd({2017, 2, 26}, 14, 58)}) {
        const double computed = JdFromJde(NewMoonJde(LunationAtOrBefore(JdeFromJd(published) + 1)));
        EXPECT_NEAR((computed - published) * 1440, 0.5, 1.0) << published;  // within the published minute, give or take
    }
    // Equinoxes and solstices (UT): the Sun crosses its longitude within a minute of them.
    struct Term {
        double jd;
        double longitude;
    };
    for (const Term& t : {Term{Jd({2000, 3, 20}, 7, 35), 0}, {Jd({2024, 6, 20}, 20, 51), 90},
                          {Jd({2024, 9, 22}, 12, 44), 180}, {Jd({2025, 12, 21}, 15, 3), 270}}) {
        const double before = std::fmod(SunApparentLongitude(JdeFromJd(t.jd - 1.0 / 1440)) + 36000, 360);
        const double after = std::fmod(SunApparentLongitude(JdeFromJd(t.jd + 2.0 / 1440)) + 36000, 360);
        EXPECT_TRUE(std::fmod(t.longitude - before + 360, 360) < 0.01 && std::fmod(after - t.longitude + 360, 360) < 0.01)
            << t.longitude << ": " << before << " .. " << after;
    }
}

// Dates the published calendars print: 旧正月, 中秋 (always 仏滅), the first days of leap
// months, and the months around the leap 11th month of 2033.
TEST(Lunisolar, PublishedDatesAndTheirRokuyo) {
    struct Case {
        Date date;
        LunarDate lunar;
        Rokuyo rokuyo;
    };
    constexpr Rokuyo kSensho = Rokuyo::Sensho;
    for (const Case& c : {
             Case{{2023, 1, 22}, {2023, 1, false, 1}, kSensho},  // 旧正月
             {{2024, 2, 10}, {2024, 1, false, 1}, kSensho},
             {{2025, 1, 29}, {2025, 1, false, 1}, kSensho},
             {{2026, 2, 17}, {2026, 1, false, 1}, kSensho},
             {{2027, 2, 7}, {2027, 1, false, 1}, kSensho},   // the new moon at 00:56 Japan time
             {{2030, 2, 3}, {2030, 1, false, 1}, kSensho},
             {{1985, 2, 20}, {1985, 1, false, 1}, kSensho},  // the month before holds 雨水 and is still the 12th
             {{2023, 9, 29}, {2023, 8, false, 15}, Rokuyo::Butsumetsu},  // 中秋
             {{2024, 9, 17}, {2024, 8, false, 15}, Rokuyo::Butsumetsu},
             {{2025, 10, 6}, {2025, 8, false, 15}, Rokuyo::Butsumetsu},
             {{2026, 9, 25}, {2026, 8, false, 15}, Rokuyo::Butsumetsu},
             {{2020, 5, 23}, {2020, 4, true, 1}, Rokuyo::Butsumetsu},  // leap months
             {{2023, 3, 22}, {2023, 2, true, 1}, Rokuyo::Tomobiki},
             {{2023, 3, 21}, {2023, 2, false, 30}, kSensho},
             {{2025, 7, 25}, {2025, 6, true, 1}, Rokuyo::Shakku},
             {{2028, 6, 23}, {2028, 5, true, 1}, Rokuyo::Taian},
             {{2031, 4, 22}, {2031, 3, true, 1}, Rokuyo::Senbu},
             {{2033, 8, 25}, {2033, 8, false, 1}, Rokuyo::Tomobiki},  // no 中気, yet the 8th
             {{2033, 9, 23}, {2033, 9, false, 1}, Rokuyo::Senbu},  // holds 秋分, yet the 9th
             {{2033, 11, 22}, {2033, 11, false, 1}, Rokuyo::Taian},
             {{2033, 12, 22}, {2033, 11, true, 1}, Rokuyo::Taian},
             {{2034, 1, 20}, {2033, 12, false, 1}, Rokuyo::Shakku},
             {{2034, 2, 19}, {2034, 1, false, 1}, kSensho},
         }) {
        const std::optional<LunarDate> lunar = LunarDateOf(c.date);
        ASSERT_TRUE(lunar) << c.date.year << '-' << c.date.month << '-' << c.date.day;
        EXPECT_EQ(*lunar, c.lunar) << c.date.year << '-' << c.date.month << '-' << c.date.day;
        EXPECT_EQ(RokuyoOf(*lunar), c.rokuyo) << c.date.year << '-' << c.date.month << '-' << c.date.day;
    }
    EXPECT_EQ(RokuyoName(Rokuyo::Taian), u"大安");
    EXPECT_EQ(RokuyoName(Rokuyo::Butsumetsu), u"仏滅");
}

TEST(Lunisolar, AMonthOfDaysAgreesWithDayByDayAndTheYearsEndTheCalendar) {
    const std::vector<LunarDate> december = LunarDatesOfMonth(2033, 12);
    ASSERT_EQ(december.size(), 31u);
    for (int day = 1; day <= 31; ++day) EXPECT_EQ(december[day - 1], LunarDateOf({2033, 12, day})) << day;
    EXPECT_TRUE(LunarDateOf({kFirstLunarYear, 1, 1}) && LunarDateOf({kLastLunarYear, 12, 31}));
    EXPECT_FALSE(LunarDateOf({kFirstLunarYear - 1, 12, 31}) || LunarDateOf({kLastLunarYear + 1, 1, 1}) ||
                 LunarDateOf({2026, 2, 30}));
    EXPECT_TRUE(LunarDatesOfMonth(kLastLunarYear + 1, 1).empty());
}

}  // namespace
}  // namespace hv
