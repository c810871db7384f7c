// hvplus.dll as the program sees it: loaded by name, exports bound by name, played
// through the real sound system (the private PulseAudio sink of the test session).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hvplus/hvplus_api.h"
#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace {

// Bound with int-sized arguments on purpose: the library must look only at the low 16
// bits of the mode and the low 8 bits of the speed, whatever the caller leaves above.
typedef LONG(WINAPI* TalkTimeWide)(LPCSTR, int, int);

class HvplusDll : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadLibraryW(L"hvplus.dll"); }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "hvplus.dll did not load"; }

    template <typename Fn>
    Fn Bind(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    TalkTimeWide Talk() { return Bind<TalkTimeWide>("hvTalkTime"); }

    static std::vector<std::uint8_t> ClipFile(int id) {
        std::vector<std::uint8_t> bytes;
        std::string path = std::string(HV_CLIPS_DIR) + "/" + std::to_string(id) + ".wav";
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            int c;
            while ((c = std::fgetc(f)) != EOF) bytes.push_back(std::uint8_t(c));
            std::fclose(f);
        }
        return bytes;
    }
    // Milliseconds from the start of the chain to its closing clip.
    static double MsToClosingClip(const char* text, int mode, int speed) {
        static std::vector<std::vector<std::uint8_t>> files(50);
        auto plan = hv::ComposeTalk(text, mode, unsigned(speed));
        auto stream = hv::RenderTalk(*plan, [](int id) -> std::optional<hv::WaveClip> {
            if (files[id].empty()) files[id] = ClipFile(id);
            return hv::ParseWaveClip(files[id]);
        });
        return stream ? stream->closingStart * 1000.0 / hv::kClipSampleRate : -1;
    }
    static double TimedMs(TalkTimeWide talk, const char* text, int mode, int speed, LONG* result) {
        LARGE_INTEGER f, a, b;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&a);
        *result = talk(text, mode, speed);
        QueryPerformanceCounter(&b);
        return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
    }

    static HMODULE module_;
};
HMODULE HvplusDll::module_ = nullptr;

TEST_F(HvplusDll, ExportsAllFourByUndecoratedNameAndReportsItsVersion) {
    for (const char* name : {"hvTalkTime", "hvPaintGradation", "hvLHA", "hvGetDllVersion"})
        EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
    auto version = Bind<HvGetDllVersionFn>("hvGetDllVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 0x10100);
}

TEST_F(HvplusDll, CarriesTheTwentyClipsAsJapaneseSoundResources) {
    for (int id = hv::kFirstClipId; id <= hv::kLastClipId; id += 2) {
        SCOPED_TRACE(id);
        HRSRC res = FindResourceExW(module_, L"SOUND", MAKEINTRESOURCEW(id), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        ASSERT_NE(res, nullptr);
        const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module_, res)));
        std::vector<std::uint8_t> embedded(bytes, bytes + SizeofResource(module_, res));
        EXPECT_EQ(embedded, ClipFile(id));
    }
}

TEST_F(HvplusDll, RejectedInputReturnsZeroAtOnce) {
    auto talk = Talk();
    ASSERT_NE(talk, nullptr);
    for (const char* text : {"9:05", "09-05", "24:00", "12:60", "ab:cd", ""}) {
        LONG result = -1;
        double ms = TimedMs(talk, text, 1, 0, &result);
        EXPECT_EQ(result, 0) << text;
        EXPECT_LT(ms, 50.0) << text << ": a rejected input must not reach the sound system";
    }
    LONG result = -1;
    EXPECT_LT(TimedMs(talk, "09:05", 1, 16, &result), 50.0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(talk(nullptr, 1, 0), 0);
}

TEST_F(HvplusDll, PlaysTheChainAndReturnsOnceTheClosingClipStarts) {
    auto talk = Talk();
    ASSERT_NE(talk, nullptr);
    LONG result = 0;
    double ideal = MsToClosingClip("07:15", 0, 2);
    ASSERT_GT(ideal, 500);
    double ms = TimedMs(talk, "07:15", 0, 2, &result);
    EXPECT_NE(result, 0) << "the sound system refused the chain";
    // The device position may run a few tens of ms ahead of what is heard under load.
    EXPECT_GE(ms, ideal - 50) << "returned before the closing clip was reached";
    EXPECT_LT(ms, ideal + 1500) << "blocked far longer than the chain";
}

TEST_F(HvplusDll, ModeAndSpeedAreReadFromTheirLowBits) {
    auto talk = Talk();
    ASSERT_NE(talk, nullptr);
    LONG r12 = 0, r24 = 0, rSpeed = 0;
    // 0x10000 has low 16 bits 0: 12-hour mode, so the morning marker plays first.
    double t12 = TimedMs(talk, "00:00", 0x10000, 0, &r12);
    double t24 = TimedMs(talk, "00:00", 1, 0, &r24);
    EXPECT_NE(r12, 0);
    EXPECT_NE(r24, 0);
    double marker = MsToClosingClip("00:00", 0, 0) - MsToClosingClip("00:00", 1, 0);
    EXPECT_GT(t12 - t24, marker * 0.6);
    // 0x100 has low 8 bits 0: speed 0, accepted.
    TimedMs(talk, "00:00", 1, 0x100, &rSpeed);
    EXPECT_NE(rSpeed, 0);
}

}  // namespace
