// What firing an alarm decides: message or command, the sound's command strings, the dialog's place and caption.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "alarm/alarm_actions.h"

namespace hv {
namespace {

TEST(ClassifyMessage, ThePrefixInAnyCaseMakesACommandAndOnlyLowerCaseLhaTheArchiver) {
    using K = MessageAction::Kind;
    const struct { const wchar_t* message; K kind; const wchar_t* text; } cases[] = {
        {L"", K::None, L""},
        {L"会議", K::Dialog, L"会議"},
        {L"#exec", K::Dialog, L"#exec"},  // near misses of the prefix show their text
        {L"# exec notepad", K::Dialog, L"# exec notepad"},
        {L"#execnotepad", K::Dialog, L"#execnotepad"},
        {L"＃exec x", K::Dialog, L"＃exec x"},
        {L"#EXEC    C:\\My Documents\\予定.txt", K::Shell, L"C:\\My Documents\\予定.txt"},
        {L"#ExEc notepad.exe memo.txt", K::Shell, L"notepad.exe memo.txt"},  // one item, not split
        {L"#exec    lha a backup.lzh *.txt", K::Archive, L"a backup.lzh *.txt"},
        {L"#exec LHA a b.lzh", K::Shell, L"LHA a b.lzh"},
        {L"#exec lhasa x", K::Shell, L"lhasa x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<const void*>(c.message));
        MessageAction action = ClassifyMessage(c.message);
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.text, c.text);
    }
    EXPECT_EQ(TrimSpaces(L"  起きる  時間 "), L"起きる  時間");
    EXPECT_EQ(TrimSpaces(L"\tx\t"), L"\tx\t");
    EXPECT_EQ(ArchiveLogPath(L"C:\\Horavox\\"), L"C:\\Horavox\\log.txt");
}

std::wstring Describe(const SoundCommand& s) {
    switch (s.kind) {
    case SoundCommand::Kind::None: return L"none";
    case SoundCommand::Kind::Wave: return L"wave " + std::to_wstring(WaveFlags(s.loop)) + L" " + s.waveFile;
    case SoundCommand::Kind::Mci:
        return s.refusedWith ? L"refused " + std::to_wstring(s.refusedWith) : s.setup + L" | " + s.play;
    }
    return L"?";
}

TEST(ChooseSound, TheStoredNamesInTheExactCommandStrings) {
    const struct { int kind; const wchar_t* file; bool loop; const wchar_t* sound; } cases[] = {
        {0, L"   ", false, L"none"},
        {0, L" C:\\音\\chime.wav", false, L"wave 1  C:\\音\\chime.wav"},  // as stored, not trimmed
        {0, L"C:\\chime.wav", true, L"wave 9 C:\\chime.wav"},
        {1, L" ", false, L"none"},
        {1, L"C:\\Music Files\\wake up.mid ", false, L" | play \"C:\\Music Files\\wake up.mid \""},
        // A quote would end the name and make the rest part of the command.
        {1, L"C:\\wake.mid\" wait", false, L"refused 275"},
        {1, L"\"C:\\wake.mid\"", false, L"refused 275"},
        {2, L"", false, L"set cdaudio time format tmsf | play cdaudio from 12"},
        {3, L"C:\\chime.wav", false, L"none"},
    };
    TrackPicker picker(1);
    for (const auto& c : cases) {
        AlarmEntry a;
        a.SoundKind = static_cast<SoundKind>(c.kind);
        a.WavFile = a.MidFile = c.file;
        a.Loop = c.loop;
        a.CdTrack = 12;
        a.CdTrackCount = 3;
        EXPECT_EQ(Describe(ChooseSound(a, picker)), c.sound);
    }
}

TEST(ChooseSound, RandomCdTrackStaysWithinTheCountCoversItAndDiffersBetweenRuns) {
    TrackPicker picker(7);
    AlarmEntry cd;
    cd.SoundKind = SoundKind::CdAudio;
    cd.CdRandom = true;
    cd.CdTrack = 9;  // ignored while random
    for (int count : {0, 1}) {
        cd.CdTrackCount = static_cast<std::uint16_t>(count);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(ChooseSound(cd, picker).play, L"play cdaudio from 1");
    }
    cd.CdTrackCount = 5;
    std::set<std::wstring> seen;
    for (int i = 0; i < 400; ++i) seen.insert(ChooseSound(cd, picker).play);
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(*seen.begin(), L"play cdaudio from 1");
    EXPECT_EQ(*seen.rbegin(), L"play cdaudio from 5");

    auto draw = [] {  // a start of the program
        TrackPicker p;
        std::vector<int> v(16);
        for (int& track : v) track = p.Pick(99);
        return v;
    };
    EXPECT_NE(draw(), draw()) << "two starts of the program";
}

TEST(DialogPlacement, CentreAndCornersOfTheWholeScreen) {
    const int sw = 1024, sh = 768, dw = 310, dh = 121;
    using P = DialogPosition;
    const std::pair<P, Point> cases[] = {{P::ScreenCentre, {357, 323}}, {P::TopLeft, {0, 0}}, {P::BottomLeft, {0, 647}},
                                         {P::TopRight, {714, 0}}, {P::BottomRight, {714, 647}}};
    for (auto [position, corner] : cases)
        EXPECT_EQ(DialogPlacement(position, sw, sh, dw, dh), corner) << static_cast<int>(position);
    // A dialog larger than the screen: the halves truncate toward zero.
    EXPECT_EQ(DialogPlacement(DialogPosition::ScreenCentre, 300, 100, 315, 103), (Point{-7, -1}));
    for (int other : {5, 6, 7}) EXPECT_FALSE(DialogPlacement(static_cast<DialogPosition>(other), sw, sh, dw, dh));
}

TEST(AlarmCaption, DayWeekdayAndTwelveHourTimeWithoutLeadingZeros) {
    EXPECT_EQ(AlarmCaption(7, L"日", 14, 5), L"アラーム時刻になりました - 7日(日) 2時5分pm");
    EXPECT_EQ(AlarmCaption(1, L"月", 0, 5), L"アラーム時刻になりました - 1日(月) 12時5分am");
    EXPECT_EQ(AlarmCaption(31, L"土", 12, 0), L"アラーム時刻になりました - 31日(土) 12時0分pm");
    EXPECT_EQ(AlarmCaption(9, L"水", 11, 59), L"アラーム時刻になりました - 9日(水) 11時59分am");
}

}  // namespace
}  // namespace hv
