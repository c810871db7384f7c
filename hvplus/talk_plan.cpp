#include "hvplus/talk_plan.h"

#include <cstring>
#include <initializer_list>

namespace hv {
namespace {

// The C library's integer reading of a short field (strtol without locale): leading
// white space, an optional sign, then digits up to the first non-digit. Sets `digits`
// to whether any digit was consumed; fields here are at most two characters, so no
// overflow is possible.
int ReadInteger(const char* p, bool& digits) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    int value = 0;
    digits = false;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        digits = true;
        if (value > 100000) break;  // cannot happen in a 5-character text; keeps it bounded
    }
    return negative ? -value : value;
}

constexpr int kHourOnes[10] = {kClipRei, kClipIchi, kClipNi, kClipSan, kClipYo,
                               kClipGo, kClipRoku, kClipShichi, kClipHachi, kClipKu};
constexpr int kMinuteOnes[10] = {0, kClipIppun, kClipNi, kClipSan, kClipYon,
                                 kClipGo, kClipRoku, kClipShichi, kClipHachi, kClipKyuu};

}  // namespace

std::array<int, kMaxListClips + 1> ComposeClipList(int h, int m) {
    std::array<int, kMaxListClips + 1> list{};
    int n = 0;
    auto add = [&](int id) { list[n++] = id; };

    if (h >= 20) add(kClipNi);
    if (h >= 10) add(kClipJuu);
    if (h % 10 != 0 || h == 0) add(kHourOnes[h % 10]);  // 10 and 20 take no ones clip
    add(kClipJi);

    if (m >= 50) add(kClipGo);
    else if (m >= 40) add(kClipYon);
    else if (m >= 30) add(kClipSan);
    else if (m >= 20) add(kClipNi);

    if (m % 10 == 0) {
        if (m != 0) add(kClipJuppun);
    } else {
        if (m >= 10) add(kClipJuu);
        add(kMinuteOnes[m % 10]);
        if (m % 10 != 1) add(kClipFun);  // "ippun" carries its own suffix
    }
    list[n] = 0;
    return list;
}

std::optional<TalkPlan> ComposeTalk(const char* text, int mode, unsigned speed) {
    if (text == nullptr || std::strlen(text) != 5) return std::nullopt;
    if (text[2] != ':') return std::nullopt;
    speed &= 0xFFu;
    if (speed > 15) return std::nullopt;

    bool hourDigits = false, minuteDigits = false;
    int hour = ReadInteger(text, hourDigits);
    int minute = ReadInteger(text + 3, minuteDigits);
    // "ab:cd" would read as 0:00 and announce midnight; a field without a digit is
    // not a time.
    if (!hourDigits || !minuteDigits) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;

    TalkPlan plan;
    const int s = static_cast<int>(speed);
    if ((mode & 0xFFFF) == 0) {
        if (hour >= 12) {
            plan.marker = kClipGogo;
            hour -= 12;
        } else {
            plan.marker = kClipGozen;
        }
        plan.markerPauseMs = s * 80 + 20;
    }
    plan.clips = ComposeClipList(hour, minute);
    while (plan.clips[plan.clipCount] != 0) ++plan.clipCount;
    plan.clipPauseMs = s * 8;
    plan.finalPauseMs = s * 15;
    return plan;
}

int WeekdayOfDate(int y, int m, int d) {
    // Days since 1 March of year 0, by the month lengths from March on (153 days in five).
    if (m < 3) --y;
    const int era = y / 400, yoe = y - era * 400;  // years here are positive
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long days = era * 146097LL + yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // Day 0 (1 March of year 0) was a Wednesday.
    return static_cast<int>((days + 3) % 7) + 1;
}

namespace {

bool ReadDigits(const char* p, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        value = value * 10 + (p[i] - '0');
    }
    return true;
}

int DaysInMonth(int y, int m) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// A sentence with the spoken time's rhythm: the first clip and its pause as the marker's,
// then the list and the closing clip.
TalkPlan Sentence(int first, std::initializer_list<int> list, int closing, unsigned speed) {
    TalkPlan plan;
    const int s = static_cast<int>(speed);
    plan.marker = first;
    plan.markerPauseMs = s * 80 + 20;
    for (int id : list) plan.clips[plan.clipCount++] = id;
    plan.clipPauseMs = s * 8;
    plan.finalPauseMs = s * 15;
    plan.closing = closing;
    return plan;
}

}  // namespace

std::optional<TalkPlan> ComposeDateTalk(const char* text, unsigned speed) {
    speed &= 0xFFu;
    if (text == nullptr || speed > 15 || std::strlen(text) != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int y = 0, m = 0, d = 0;
    if (!ReadDigits(text, 4, y) || !ReadDigits(text + 5, 2, m) || !ReadDigits(text + 8, 2, d)) return std::nullopt;
    if (y < 1601 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return std::nullopt;
    return Sentence(kClipKyouWa, {kClipMonthBase + m, kClipDayBase + d, kClipWeekdayBase + WeekdayOfDate(y, m, d)},
                    kClipDesu, speed);
}

std::optional<TalkPlan> ComposeTimerEndTalk(unsigned speed) {
    speed &= 0xFFu;
    if (speed > 15) return std::nullopt;
    return Sentence(kClipChime, {kClipTimerGa}, kClipOwarimashita, speed);
}

}  // namespace hv
