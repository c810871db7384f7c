// What firing an alarm does, decided without the system: the sound command, whether the
// message is shown or run as a command (and which), where the notification goes, and its
// caption. Portable; alarm/alarm_win.h carries the decisions out through winmm and the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace hv {

// Leading and trailing U+0020 removed (other white space is kept, as typed).
std::wstring TrimSpaces(std::wstring_view text);

// The random CD track: one generator per run, seeded once, so the choices differ between
// runs (an unseeded generator repeats the same "random" tracks after every start).
class TrackPicker {
public:
    TrackPicker();  // seeded from std::random_device and the clock
    explicit TrackPicker(std::uint32_t seed) : engine_(seed) {}
    // 1..count uniformly; 1 when count is 0.
    int Pick(int count);

private:
    std::mt19937 engine_;
};

// The sound an alarm starts.
struct SoundCommand {
    enum class Kind { None, Wave, Mci };
    Kind kind = Kind::None;
    // Wave: the file name as stored, played asynchronously, looping when `loop`.
    std::wstring waveFile;
    bool loop = false;
    // Mci: sent in this order; the result of the last one decides whether to report.
    // MIDI: {play "file"}; CD: {set cdaudio time format tmsf, play cdaudio from N}.
    std::wstring setup;  // empty for MIDI
    std::wstring play;
    // Mci: nonzero when nothing may be sent; taken as the play command's result and
    // reported like it.
    std::uint32_t refusedWith = 0;
};
// MCIERR_FILE_NOT_FOUND: what a MIDI file name with a double quote is refused with. The
// quote would end the quoted name early and the rest would be read as more of the
// command ("x.mid" wait" blocks the program for the whole song); no file name has one.
inline constexpr std::uint32_t kMciErrFileNotFound = 275;
SoundCommand ChooseSound(const AlarmEntry& alarm, TrackPicker& picker);

// The PlaySound flags of a wave alarm: SND_ASYNC, plus SND_LOOP when looping.
inline constexpr unsigned kSndAsync = 0x0001;
inline constexpr unsigned kSndLoop = 0x0008;
inline unsigned WaveFlags(bool loop) { return kSndAsync | (loop ? kSndLoop : 0u); }

// What follows the sound, from the trimmed message.
struct MessageAction {
    enum class Kind {
        None,    // empty message: the alarm only sounds
        Dialog,  // show `text` in the notification dialog
        Shell,   // open `text` (one document, program or other item) through the shell
        Archive  // hand `text` to the archiver (hvLHA)
    };
    Kind kind = Kind::None;
    std::wstring text;
};
// "#exec " in any case starts a command; after it, leading spaces are dropped and "lha " in
// lower case only picks the archiver.
MessageAction ClassifyMessage(std::wstring_view trimmedMessage);

// The archiver's output file: the program's folder (ending in a backslash) + "log.txt".
std::wstring ArchiveLogPath(const std::wstring& appPath);

// Where the notification dialog goes: screen and dialog sizes of the whole screen and the
// whole outer window; std::nullopt for positions outside 0..4 (the dialog stays put).
struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};
std::optional<Point> DialogPlacement(hv::DialogPosition position, int screenWidth, int screenHeight,
                                     int dialogWidth, int dialogHeight);

// The notification dialog's caption: "アラーム時刻になりました - " and the date and time as
// "d日(aaa) h時n分am/pm" (12-hour clock, 0 and 12 shown as 12, no leading zeros, lower-case
// am/pm). `weekdayName` is the locale's abbreviated weekday ("日" on a Japanese system).
std::wstring AlarmCaption(int day, std::wstring_view weekdayName, int hour, int minute);

// Message texts.
inline constexpr wchar_t kMciErrorTitle[] = L"MCIのエラー";
inline constexpr wchar_t kShellFailedText[] = L"ファイルの実行に失敗しました。";

}  // namespace hv
