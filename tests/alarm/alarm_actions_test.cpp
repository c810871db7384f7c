// What firing an alarm decides: the sound command strings, message or command, the
// archiver's exact prefix, the dialog's place and caption, the random CD track.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "alarm/alarm_actions.h"

namespace hv {
namespace {

TEST(TrimSpaces, RemovesOnlyLeadingAndTrailingSpaces) {
    EXPECT_EQ(TrimSpaces(L"  起きる  時間 "), L"起きる  時間");
    EXPECT_EQ(TrimSpaces(L"     "), L"");
    EXPECT_EQ(TrimSpaces(L""), L"");
    EXPECT_EQ(TrimSpaces(L"\tx\t"), L"\tx\t");
}

TEST(ClassifyMessage, PlainTextAndNearMissesOfThePrefixShowTheDialog) {
    for (const wchar_t* text : {L"会議", L"#exec", L"# exec notepad", L"#execnotepad", L"＃exec x", L" #exec x"}) {
        SCOPED_TRACE(testing::Message() << static_cast<const void*>(text));
        MessageAction action = ClassifyMessage(text);
        EXPECT_EQ(action.kind, MessageAction::Kind::Dialog);
        EXPECT_EQ(action.text, text);
    }
    EXPECT_EQ(ClassifyMessage(L"").kind, MessageAction::Kind::None);
}

TEST(ClassifyMessage, ThePrefixInAnyCaseRunsTheRestThroughTheShellAsOneItem) {
    MessageAction action = ClassifyMessage(L"#EXEC    C:\\My Documents\\予定.txt");
    EXPECT_EQ(action.kind, MessageAction::Kind::Shell);
    EXPECT_EQ(action.text, L"C:\\My Documents\\予定.txt");
    action = ClassifyMessage(L"#ExEc notepad.exe memo.txt");
    EXPECT_EQ(action.kind, MessageAction::Kind::Shell);
    EXPECT_EQ(action.text, L"notepad.exe memo.txt");
}

TEST(ClassifyMessage, LowerCaseLhaAfterThePrefixGoesToTheArchiver) {
    MessageAction action = ClassifyMessage(L"#exec    lha a backup.lzh *.txt");
    EXPECT_EQ(action.kind, MessageAction::Kind::Archive);
    EXPECT_EQ(action.text, L"a backup.lzh *.txt");
    for (const wchar_t* text : {L"#exec LHA a b.lzh", L"#exec Lha a b.lzh", L"#exec lha", L"#exec lhasa x"}) {
        EXPECT_EQ(ClassifyMessage(text).kind, MessageAction::Kind::Shell);
    }
    EXPECT_EQ(ArchiveLogPath(L"C:\\Horavox\\"), L"C:\\Horavox\\log.txt");
}

AlarmEntry Sound(SoundKind kind) {
    AlarmEntry a;
    a.SoundKind = kind;
    return a;
}

TEST(ChooseSound, WaveKeepsTheStoredNameAndLoopsOnRequest) {
    TrackPicker picker(1);
    AlarmEntry a = Sound(SoundKind::Wave);
    a.WavFile = L"   ";
    EXPECT_EQ(ChooseSound(a, picker).kind, SoundCommand::Kind::None);
    a.WavFile = L" C:\\音\\chime.wav";
    SoundCommand c = ChooseSound(a, picker);
    EXPECT_EQ(c.kind, SoundCommand::Kind::Wave);
    EXPECT_EQ(c.waveFile, L" C:\\音\\chime.wav");
    EXPECT_EQ(WaveFlags(c.loop), 1u);
    a.Loop = true;
    EXPECT_EQ(WaveFlags(ChooseSound(a, picker).loop), 9u);
}

TEST(ChooseSound, MidiAndCdUseTheExactCommandStrings) {
    TrackPicker picker(1);
    AlarmEntry midi = Sound(SoundKind::Midi);
    midi.MidFile = L" ";
    EXPECT_EQ(ChooseSound(midi, picker).kind, SoundCommand::Kind::None);
    midi.MidFile = L"C:\\Music Files\\wake up.mid ";
    SoundCommand c = ChooseSound(midi, picker);
    EXPECT_EQ(c.kind, SoundCommand::Kind::Mci);
    EXPECT_EQ(c.setup, L"");
    EXPECT_EQ(c.play, L"play \"C:\\Music Files\\wake up.mid \"");

    AlarmEntry cd = Sound(SoundKind::CdAudio);
    cd.CdTrack = 12;
    cd.CdTrackCount = 3;
    c = ChooseSound(cd, picker);
    EXPECT_EQ(c.setup, L"set cdaudio time format tmsf");
    EXPECT_EQ(c.play, L"play cdaudio from 12");
    EXPECT_EQ(ChooseSound(Sound(static_cast<SoundKind>(3)), picker).kind, SoundCommand::Kind::None);
}

TEST(ChooseSound, RandomCdTrackStaysWithinTheCountAndCoversIt) {
    TrackPicker picker(7);
    AlarmEntry cd = Sound(SoundKind::CdAudio);
    cd.CdRandom = true;
    cd.CdTrack = 9;  // ignored while random
    for (int count : {0, 1}) {
        cd.CdTrackCount = static_cast<std::uint16_t>(count);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(ChooseSound(cd, picker).play, L"play cdaudio from 1");
    }
    cd.CdTrackCount = 5;
    std::set<std::wstring> seen;
    for (int i = 0; i < 400; ++i) seen.insert(ChooseSound(cd, picker).play);
    EXPECT_EQ(seen, (std::set<std::wstring>{L"play cdaudio from 1", L"play cdaudio from 2", L"play cdaudio from 3",
                                            L"play cdaudio from 4", L"play cdaudio from 5"}));
}

TEST(TrackPicker, EachRunDrawsADifferentSequence) {
    auto draw = [](TrackPicker& p) {
        std::vector<int> v;
        for (int i = 0; i < 16; ++i) v.push_back(p.Pick(99));
        return v;
    };
    TrackPicker first, second;  // two starts of the program
    EXPECT_NE(draw(first), draw(second));
    TrackPicker a(42), b(42);
    EXPECT_EQ(draw(a), draw(b));
}

TEST(DialogPlacement, CentreAndCornersOfTheWholeScreen) {
    const int sw = 1024, sh = 768, dw = 310, dh = 121;
    EXPECT_EQ(DialogPlacement(DialogPosition::ScreenCentre, sw, sh, dw, dh), (Point{357, 323}));
    EXPECT_EQ(DialogPlacement(DialogPosition::TopLeft, sw, sh, dw, dh), (Point{0, 0}));
    EXPECT_EQ(DialogPlacement(DialogPosition::BottomLeft, sw, sh, dw, dh), (Point{0, 647}));
    EXPECT_EQ(DialogPlacement(DialogPosition::TopRight, sw, sh, dw, dh), (Point{714, 0}));
    EXPECT_EQ(DialogPlacement(DialogPosition::BottomRight, sw, sh, dw, dh), (Point{714, 647}));
    // A dialog larger than the screen: the halves truncate toward zero.
    EXPECT_EQ(DialogPlacement(DialogPosition::ScreenCentre, 300, 100, 315, 103), (Point{-7, -1}));
    for (int other : {5, 6, 7}) EXPECT_FALSE(DialogPlacement(static_cast<DialogPosition>(other), sw, sh, dw, dh));
}

TEST(AlarmCaption, DayWeekdayAndTwelveHourTimeWithoutLeadingZeros) {
    EXPECT_EQ(AlarmCaption(7, L"日", 14, 5), L"アラーム時刻になりました - 7日(日) 2時5分pm");
    EXPECT_EQ(AlarmCaption(1, L"月", 0, 5), L"アラーム時刻になりました - 1日(月) 12時5分am");
    EXPECT_EQ(AlarmCaption(31, L"土", 12, 0), L"アラーム時刻になりました - 31日(土) 12時0分pm");
    EXPECT_EQ(AlarmCaption(9, L"Tue", 23, 59), L"アラーム時刻になりました - 9日(Tue) 11時59分pm");
    EXPECT_EQ(AlarmCaption(9, L"水", 11, 59), L"アラーム時刻になりました - 9日(水) 11時59分am");
}

}  // namespace
}  // namespace hv
