// hvplus.dll as the program sees it: loaded by name, exports bound by name, played
// through the real sound system (the private PulseAudio sink of the test session).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "hvplus/hvplus_api.h"
#include "hvplus/talk_stream.h"
#include "hvplus/hvplus_binding_win.h"

namespace {

// hvplus.dll beside this test, bound as the program binds it.
hv::HvplusLibrary& Hvplus() { return hv::HvplusLibrary::BesideProgram(); }

// Bound with int-sized arguments on purpose: the library must look only at the low 16
// bits of the mode and the low 8 bits of the speed, whatever the caller leaves above.
typedef LONG(WINAPI* TalkTimeWide)(LPCSTR, int, int);

// A voice clip as the library carries it, or nothing.
std::span<const std::uint8_t> Clip(int id) {
    HRSRC res = FindResourceExW(Hvplus().module(), L"SOUND", MAKEINTRESOURCEW(id),
                                MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (!res) return {};
    return {static_cast<const std::uint8_t*>(LockResource(LoadResource(Hvplus().module(), res))),
            SizeofResource(Hvplus().module(), res)};
}

// Milliseconds from the start of the chain to its closing clip.
double MsToClosingClip(const char* text, int mode, unsigned speed) {
    auto stream = hv::RenderTalk(*hv::ComposeTalk(text, mode, speed),
                                 [](int id) { return hv::ParseWaveClip(Clip(id)); });
    return stream ? stream->closingStart * 1000.0 / hv::kClipSampleRate : -1;
}

// Speaks and returns how long the call blocked, in milliseconds.
double TimedTalk(const char* text, int mode, int speed, LONG& result) {
    static const auto talk = Hvplus().Export<TalkTimeWide>("hvTalkTime");
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    result = talk(text, mode, speed);
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

TEST(HvplusDll, ExportsAllFourByNameAndCarriesTheTwentyClips) {
    ASSERT_NE(Hvplus().module(), nullptr) << "hvplus.dll did not load";
    for (const char* name : {"hvTalkTime", "hvPaintGradation", "hvLHA", "hvGetDllVersion"})
        EXPECT_NE(GetProcAddress(Hvplus().module(), name), nullptr) << name;
    EXPECT_EQ(Hvplus().Export<HvGetDllVersionFn>("hvGetDllVersion")(), 0x10100);
    // Each the committed file byte for byte; the portable clip test checks the files.
    for (int id = hv::kFirstClipId; id <= hv::kLastClipId; id += 2) {
        SCOPED_TRACE(id);
        std::ifstream in(std::string(HV_CLIPS_DIR) + "/" + std::to_string(id) + ".wav", std::ios::binary);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto bytes = Clip(id);
        ASSERT_FALSE(file.empty());
        EXPECT_TRUE(std::ranges::equal(bytes, file));
    }
}

TEST(HvplusDll, PlaysTheChainAndReturnsOnceTheClosingClipStarts) {
    ASSERT_NE(Hvplus().Export<TalkTimeWide>("hvTalkTime"), nullptr);
    const double ideal = MsToClosingClip("07:15", 0, 2);
    ASSERT_GT(ideal, 500);
    LONG result = 0;
    const double ms = TimedTalk("07:15", 0, 2, result);
    EXPECT_NE(result, 0) << "the sound system refused the chain";
    // The device position may run a few tens of ms ahead of what is heard under load.
    EXPECT_GE(ms, ideal - 50) << "returned before the closing clip was reached";
    EXPECT_LT(ms, ideal + 1500) << "blocked far longer than the chain";

    // Mode 0x10000 (low 16 bits 0) is the 12-hour clock: the morning marker plays first.
    LONG r12 = 0, r24 = 0;
    const double t12 = TimedTalk("00:00", 0x10000, 0, r12), t24 = TimedTalk("00:00", 1, 0x100, r24);
    EXPECT_NE(r12, 0);
    EXPECT_NE(r24, 0) << "speed 0x100 is speed 0";
    EXPECT_GT(t12 - t24, (MsToClosingClip("00:00", 0, 0) - MsToClosingClip("00:00", 1, 0)) * 0.6);

    LONG rejected = -1;
    EXPECT_LT(TimedTalk("24:00", 1, 0, rejected), 50.0) << "a rejected input must not reach the sound system";
    EXPECT_EQ(rejected, 0);
}

}  // namespace
