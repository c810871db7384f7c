// hvplus.dll as the program sees it: loaded by name, exports bound by name, played
// through the real sound system (the private PulseAudio sink of the test session).
#include <windows.h>

#include <mmsystem.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "hvplus/hvplus_api.h"
#include "hvplus/talk_stream.h"
#include "hvplus/hvplus_binding_win.h"
#include "tests/support/import_patch_win.h"

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

// Threads (a Toolhelp snapshot) and open handles of this process.
struct Census {
    int threads = 0;
    DWORD handles = 0;
};

// Wine answers GetProcessHandleCount with 0; there the handles are counted by asking
// each of the first handle values whether it is open.
DWORD HandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    DWORD flags = 0;
    for (std::uintptr_t h = 4; h < 0x10000; h += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) != 0;
    return count;
}

Census TakeCensus() {
    Census c;
    c.handles = HandleCount();
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t))
        c.threads += t.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return c;
}

// The census once it is back at `baseline`, or after `ms` when it never gets there.
Census SettleTo(const Census& baseline, int ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    Census now = TakeCensus();
    while ((now.threads > baseline.threads || now.handles > baseline.handles) && GetTickCount64() < deadline) {
        Sleep(50);
        now = TakeCensus();
    }
    return now;
}

TEST(HvplusDll, TwoHundredCallsLeaveThreadsAndHandlesAtTheirBaseline) {
    const auto talk = Hvplus().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    // The sound system keeps threads and handles of its own once devices have been opened,
    // one after another and two at a time (the closing clip overlaps the next call).
    for (int i = 0; i < 10; ++i) ASSERT_NE(talk("00:00", 1, 0), 0);
    Sleep(1500);
    const Census before = TakeCensus();
    Census peak = before;
    int failed = 0;
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < 200; ++i) {
        failed += talk("00:00", 1, 0) == 0;
        if (i % 10 != 0) continue;  // a census takes about 0.1 s under Wine
        const Census now = TakeCensus();
        peak = {std::max(peak.threads, now.threads), std::max(peak.handles, now.handles)};
    }
    const double seconds = double(GetTickCount64() - start) / 1000.0;
    const Census after = SettleTo(before, 5000);
    std::printf("200 calls in %.1f s: threads %d before, %d at most, %d after; handles %lu before, %lu at most, "
                "%lu after\n",
                seconds, before.threads, peak.threads, after.threads, before.handles, peak.handles, after.handles);
    EXPECT_EQ(failed, 0);
    EXPECT_LE(after.threads, before.threads);
    EXPECT_LE(after.handles, before.handles);
}

// A sound device that takes the stream, reports it played at once and never marks the
// buffer done, not even when reset.
namespace stuck {
std::atomic<int> opens, resets, closes;
MMRESULT WINAPI Open(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) {
    *out = reinterpret_cast<HWAVEOUT>(std::intptr_t(0x5000 + ++opens));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Prepare(HWAVEOUT, LPWAVEHDR header, UINT) {
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Unprepare(HWAVEOUT, LPWAVEHDR header, UINT) {
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Write(HWAVEOUT, LPWAVEHDR, UINT) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI Position(HWAVEOUT, LPMMTIME time, UINT) {
    time->wType = TIME_SAMPLES;
    time->u.sample = 1u << 30;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Reset(HWAVEOUT) { return ++resets, MMSYSERR_NOERROR; }
MMRESULT WINAPI Close(HWAVEOUT) { return ++closes, MMSYSERR_NOERROR; }
}  // namespace stuck

TEST(HvplusDll, ADeviceThatNeverFinishesIsResetAndReleasedAfterTheChain) {
    const auto talk = Hvplus().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    // The sound library is imported late: one real call loads it and its driver first.
    EXPECT_NE(talk("00:00", 1, 0), 0);
    Sleep(1500);  // its closing clip and the release after it
    const Census before = TakeCensus();
    {
        using hvtest::ImportPatch;
        const ImportPatch patches[] = {
            {Hvplus().module(), "winmm.dll", "waveOutOpen", reinterpret_cast<void*>(stuck::Open)},
            {Hvplus().module(), "winmm.dll", "waveOutPrepareHeader", reinterpret_cast<void*>(stuck::Prepare)},
            {Hvplus().module(), "winmm.dll", "waveOutUnprepareHeader", reinterpret_cast<void*>(stuck::Unprepare)},
            {Hvplus().module(), "winmm.dll", "waveOutWrite", reinterpret_cast<void*>(stuck::Write)},
            {Hvplus().module(), "winmm.dll", "waveOutGetPosition", reinterpret_cast<void*>(stuck::Position)},
            {Hvplus().module(), "winmm.dll", "waveOutReset", reinterpret_cast<void*>(stuck::Reset)},
            {Hvplus().module(), "winmm.dll", "waveOutClose", reinterpret_cast<void*>(stuck::Close)},
        };
        for (const auto& patch : patches) ASSERT_TRUE(patch.active());
        for (int i = 0; i < 5; ++i) EXPECT_NE(talk("23:59", 1, 15), 0);
        // The chain is about 3 s long: its length and the margin pass well within 15 s.
        const Census after = SettleTo(before, 15000);
        EXPECT_LE(after.threads, before.threads);
        EXPECT_LE(after.handles, before.handles);
    }
    EXPECT_EQ(stuck::opens, 5);
    EXPECT_EQ(stuck::closes, 5);
    EXPECT_GE(stuck::resets, 5);
}

TEST(HvplusDll, AFailedAllocationEndsInTheFailureValueNotInAnException) {
    const auto talk = Hvplus().Export<HvTalkTimeFn>("hvTalkTime");
    const auto paint = Hvplus().Export<HvPaintGradationFn>("hvPaintGradation");
    ASSERT_TRUE(talk && paint);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 30, nullptr, nullptr,
                                  nullptr, nullptr);
    {
        hvtest::ImportPatch noMemory(Hvplus().module(), "msvcrt.dll", "malloc",
                                       reinterpret_cast<void*>(hvtest::MallocFailingLargeBlocks));
        ASSERT_TRUE(noMemory.active());
        LONG talked = -1, painted = -1;
        EXPECT_NO_THROW(talked = talk("07:15", 0, 2));
        EXPECT_NO_THROW(painted = paint(window, 0, 0xFFFFFF, 1));
        EXPECT_EQ(talked, 0);
        EXPECT_EQ(painted, 0);
    }
    DestroyWindow(window);
}

}  // namespace
