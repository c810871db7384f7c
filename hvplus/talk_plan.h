// Composition of the spoken time: which voice clips say a clock time, in which order,
// with which pauses. Portable: no Windows header, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace hv {

// Ids of the voice clips (resources of type "SOUND" in hvplus.dll).
enum ClipId : int {
    kClipDesu = 10,       // closing clip, always last
    kClipFun = 12,        // minute suffix after ones digits 2..9
    kClipGo = 14,         // five
    kClipGogo = 16,       // afternoon marker
    kClipGozen = 18,      // morning marker
    kClipHachi = 20,      // eight
    kClipIchi = 22,       // one (hour)
    kClipIppun = 24,      // one minute, carries its own suffix
    kClipJi = 26,         // hour suffix
    kClipJuu = 28,        // ten (tens word)
    kClipJuppun = 30,     // ten minutes, carries its own suffix
    kClipKu = 32,         // nine (hour)
    kClipShichi = 34,     // seven
    kClipNi = 36,         // two
    kClipKyuu = 38,       // nine (minute)
    kClipRei = 40,        // zero (hour 0)
    kClipRoku = 42,       // six
    kClipSan = 44,        // three
    kClipYo = 46,         // four (hour)
    kClipYon = 48,        // four (minute)
};

inline constexpr int kFirstClipId = 10;
inline constexpr int kLastClipId = 48;
inline constexpr int kClipCount = 20;
inline constexpr int kMaxListClips = 8;

// The clips of the date and the timer's end, beside the time's: a month is 100 + its number,
// a day 200 + its number (each with the date's own reading: ついたち, ふつか, はつか, ...), a
// weekday 300 + 1 (Sunday) .. 7 (Saturday).
inline constexpr int kClipMonthBase = 100;
inline constexpr int kClipDayBase = 200;
inline constexpr int kClipWeekdayBase = 300;
inline constexpr int kClipKyouWa = 400;         // きょうは, before the date
inline constexpr int kClipTimerGa = 401;        // タイマーが
inline constexpr int kClipOwarimashita = 402;   // 終わりました, ends the timer's sentence
inline constexpr int kClipChime = 403;          // two bell notes, before it

// What one call speaks. The marker (12-hour mode only) plays first and is not part of
// the list; the closing clip plays last and is started without waiting for its end.
struct TalkPlan {
    int marker = 0;                    // kClipGogo, kClipGozen, or 0 in 24-hour mode
    int markerPauseMs = 0;             // silence after the marker
    std::array<int, kMaxListClips + 1> clips{};  // list, ended by 0
    int clipCount = 0;
    int clipPauseMs = 0;               // silence after each list clip, the last included
    int finalPauseMs = 0;              // extra silence before the closing clip
    int closing = kClipDesu;
};

// Validates (text, mode, speed) as the library receives them and composes the plan,
// or returns nothing for a rejected input (nothing may then be played).
//   text:  "HH:MM", exactly five characters, ':' at index 2, each field read like the
//          C library's integer reading (leading blanks and a sign allowed); a field in
//          which that reading finds no digit is rejected.
//   mode:  only the low 16 bits count; 0 is 12-hour mode, anything else 24-hour mode.
//   speed: only the low 8 bits count; 0..15, scales every pause.
std::optional<TalkPlan> ComposeTalk(const char* text, int mode, unsigned speed);

// The list of clips for an hour (0..23; 0..11 after the 12-hour reduction) and a
// minute (0..59), ended by 0. Exposed for the readings tests.
std::array<int, kMaxListClips + 1> ComposeClipList(int hour, int minute);

// The weekday of a Gregorian date, 1 = Sunday ... 7 = Saturday.
int WeekdayOfDate(int year, int month, int day);

// 「きょうは | 十二月 九日 水曜日 | です」 for "YYYY-MM-DD" (exactly ten characters, digits
// and dashes, a real date of the years 1601..9999), with the pauses of the spoken time at
// `speed` (low 8 bits, 0..15): きょうは takes the marker's place and pause. Nothing for a
// rejected input.
std::optional<TalkPlan> ComposeDateTalk(const char* text, unsigned speed);

// The timer's end: the chime, its pause, 「タイマーが 終わりました」. Nothing for a speed
// above 15 (low 8 bits).
std::optional<TalkPlan> ComposeTimerEndTalk(unsigned speed);

}  // namespace hv
