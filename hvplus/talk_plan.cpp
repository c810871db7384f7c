#include "hvplus/talk_plan.h"

#include <cstring>

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

}  // namespace hv
