// hvplus.dll as the program sees it: loaded by name, exports bound by name, played
// through the real sound system (the private PulseAudio sink of the test session).
#include <windows.h>

#include <mmsystem.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
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

// The chain as the library's clips render it; nothing for a rejected input.
std::optional<hv::TalkStream> Rendered(const char* text, int mode, unsigned speed) {
    const auto plan = hv::ComposeTalk(text, mode, speed);
    if (!plan) return std::nullopt;
    return hv::RenderTalk(*plan, [](int id) { return hv::ParseWaveClip(Clip(id)); });
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

TEST(HvplusDll, ExportsAllSixByNameAndCarriesEveryClip) {
    ASSERT_NE(Hvplus().module(), nullptr) << "hvplus.dll did not load";
    for (const char* name : {"hvTalkTime", "hvPaintGradation", "hvLHA", "hvGetDllVersion", "hvTalkDate",
                             "hvTalkTimerEnd"})
        EXPECT_NE(GetProcAddress(Hvplus().module(), name), nullptr) << name;
    EXPECT_EQ(Hvplus().Export<HvGetDllVersionFn>("hvGetDllVersion")(), 0x10100);
    // Each committed clip byte for byte, and nothing more; the portable clip test checks the files.
    for (int id = hv::kFirstClipId; id <= hv::kClipChime; ++id) {
        SCOPED_TRACE(id);
        std::ifstream in(std::string(HV_CLIPS_DIR) + "/" + std::to_string(id) + ".wav", std::ios::binary);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(std::ranges::equal(Clip(id), file));
    }
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

// The census once it is back at `baseline`, or after half a minute when it never gets there
// (the sound system's own threads end a moment after the last device closes).
Census SettleTo(const Census& baseline) {
    const ULONGLONG deadline = GetTickCount64() + 30000;
    Census now = TakeCensus();
    while ((now.threads > baseline.threads || now.handles > baseline.handles) && GetTickCount64() < deadline) {
        Sleep(50);
        now = TakeCensus();
    }
    return now;
}

// The threads the library starts to release its devices, seen at its import of CreateThread,
// so that a test waits for them to end rather than for a time they usually take.
class LibraryThreads {
public:
    LibraryThreads() : patch_(Hvplus().module(), "kernel32.dll", "CreateThread", reinterpret_cast<void*>(Create)) {}
    ~LibraryThreads() { AtMostRunning(0); }
    bool active() const { return patch_.active(); }
    // Waits until no more than `running` of them are left (a minute at most for each).
    static bool AtMostRunning(std::size_t running) {
        while (started_.size() > running) {
            const HANDLE oldest = started_.front();
            started_.erase(started_.begin());
            const bool ended = WaitForSingleObject(oldest, 60000) == WAIT_OBJECT_0;
            CloseHandle(oldest);
            if (!ended) return false;
        }
        return true;
    }

private:
    static HANDLE WINAPI Create(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                                LPVOID param, DWORD flags, LPDWORD id) {
        HANDLE thread = CreateThread(security, stack, start, param, flags, id), seen = nullptr;
        if (thread && DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &seen, SYNCHRONIZE, FALSE, 0))
            started_.push_back(seen);
        return thread;
    }
    static inline std::vector<HANDLE> started_;  // the library calls from the test's thread only
    hvtest::ImportPatch patch_;
};

// winmm keeps an event for every device it has had open at one time, for good: as many as
// the calls below ever have open together are opened here first.
void OpenDevicesTogether(int count) {
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, hv::kClipSampleRate, hv::kClipSampleRate * 2, 2, 16, 0};
    std::vector<HWAVEOUT> open(count);
    for (HWAVEOUT& out : open) ASSERT_EQ(waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), 0u);
    for (HWAVEOUT out : open) waveOutClose(out);
}

TEST(HvplusDll, TwoHundredCallsLeaveThreadsAndHandlesAtTheirBaseline) {
    const auto talk = Hvplus().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    LibraryThreads threads;
    ASSERT_TRUE(threads.active());
    // The first call loads the sound system. A call returns while its closing clip plays, and
    // its device is released a moment after the clip has ended: a call may open its device
    // while the two calls before it still hold theirs.
    ASSERT_NE(talk("00:00", 1, 0), 0);
    ASSERT_TRUE(threads.AtMostRunning(0));
    OpenDevicesTogether(3);
    const Census before = TakeCensus();
    int failed = 0;
    for (int i = 0; i < 200; ++i) {
        // Under load a release may lag further behind; waiting for it keeps three the most.
        ASSERT_TRUE(threads.AtMostRunning(2)) << "a release thread still runs a minute after its call";
        failed += talk("00:00", 1, 0) == 0;
    }
    ASSERT_TRUE(threads.AtMostRunning(0)) << "a release thread still runs a minute after its call";
    const Census after = SettleTo(before);
    EXPECT_EQ(failed, 0);
    EXPECT_LE(after.threads, before.threads) << "threads of this process after the warm-up call and after 200 calls";
    EXPECT_LE(after.handles, before.handles) << "open handles of this process after the warm-up call and after 200 calls";
}

// A sound device that takes the stream, keeps a copy, reports it played at once and never
// marks the buffer done, not even when reset.
namespace stuck {
std::atomic<int> opens, resets, closes;
std::vector<std::int16_t> written;  // the samples of the last write
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
MMRESULT WINAPI Write(HWAVEOUT, LPWAVEHDR header, UINT) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(header->lpData);
    written.assign(samples, samples + header->dwBufferLength / sizeof(std::int16_t));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Position(HWAVEOUT, LPMMTIME time, UINT) {
    time->wType = TIME_SAMPLES;
    time->u.sample = 1u << 30;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Reset(HWAVEOUT) { return ++resets, MMSYSERR_NOERROR; }
MMRESULT WINAPI Close(HWAVEOUT) { return ++closes, MMSYSERR_NOERROR; }

// In the library's place for its lifetime; the library's release threads end before it does.
struct Device {
    bool active() const {
        return threads.active() && std::ranges::all_of(patches, [](const auto& p) { return p.active(); });
    }
    const hvtest::ImportPatch patches[7]{
        {Hvplus().module(), "winmm.dll", "waveOutOpen", reinterpret_cast<void*>(Open)},
        {Hvplus().module(), "winmm.dll", "waveOutPrepareHeader", reinterpret_cast<void*>(Prepare)},
        {Hvplus().module(), "winmm.dll", "waveOutUnprepareHeader", reinterpret_cast<void*>(Unprepare)},
        {Hvplus().module(), "winmm.dll", "waveOutWrite", reinterpret_cast<void*>(Write)},
        {Hvplus().module(), "winmm.dll", "waveOutGetPosition", reinterpret_cast<void*>(Position)},
        {Hvplus().module(), "winmm.dll", "waveOutReset", reinterpret_cast<void*>(Reset)},
        {Hvplus().module(), "winmm.dll", "waveOutClose", reinterpret_cast<void*>(Close)},
    };
    LibraryThreads threads;  // destroyed first
};
}  // namespace stuck

TEST(HvplusDll, PlaysTheChainAndReturnsOnceTheClosingClipStarts) {
    const auto talk = Hvplus().Export<TalkTimeWide>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    const auto chain = Rendered("07:15", 0, 2);
    ASSERT_TRUE(chain);
    const double ideal = chain->closingStart * 1000.0 / hv::kClipSampleRate;
    ASSERT_GT(ideal, 500);
    LONG result = 0;
    double ms = 0;
    {
        LibraryThreads threads;  // its release ends before the recording device below takes over
        ASSERT_TRUE(threads.active());
        ms = TimedTalk("07:15", 0, 2, result);
    }
    EXPECT_NE(result, 0) << "the sound system refused the chain";
    // Only early is a fault: a loaded machine makes any call late. The device position may
    // run a few tens of ms ahead of what is heard.
    EXPECT_GE(ms, ideal - 50) << "returned before the closing clip was reached";

    // What reaches the device: the chain of the low 16 bits of the mode and the low 8 bits of
    // the speed; nothing at all for a rejected input.
    const struct {
        const char* text;
        int mode, speed, asMode, asSpeed;
    } calls[] = {
        {"00:00", 0x10000, 0, 0, 0},  // the 12-hour clock: the morning marker first
        {"00:00", 1, 0x100, 1, 0},
        {"24:00", 1, 0, 1, 0},
    };
    stuck::Device device;
    ASSERT_TRUE(device.active());
    for (const auto& c : calls) {
        SCOPED_TRACE(::testing::Message() << c.text << " mode " << c.mode << " speed " << c.speed);
        stuck::written.clear();
        const auto expected = Rendered(c.text, c.asMode, c.asSpeed);
        EXPECT_EQ(talk(c.text, c.mode, c.speed) != 0, expected.has_value());
        EXPECT_TRUE(stuck::written == (expected ? expected->pcm : std::vector<std::int16_t>{}))
            << stuck::written.size() << " samples reached the device, not the chain of mode " << c.asMode
            << " speed " << c.asSpeed;
    }
}

// The date and the timer's end reach the device as planned (speed: low 8 bits); no date, no sound.
TEST(HvplusDll, TheDateAndTheTimersEndPlayTheirChains) {
    const auto date = Hvplus().Export<LONG(WINAPI*)(LPCSTR, int)>("hvTalkDate");
    const auto timerEnd = Hvplus().Export<LONG(WINAPI*)(int)>("hvTalkTimerEnd");
    ASSERT_TRUE(date && timerEnd);
    {
        LibraryThreads threads;  // a real play first loads the sound library, imported late
        EXPECT_NE(timerEnd(0), 0);
    }
    auto render = [](const std::optional<hv::TalkPlan>& plan) {
        return plan ? hv::RenderTalk(*plan, [](int id) { return hv::ParseWaveClip(Clip(id)); }).value().pcm
                    : std::vector<std::int16_t>{};
    };
    stuck::Device device;
    ASSERT_TRUE(device.active());
    for (const char* text : {"2026-12-09", "2026-02-29", static_cast<const char*>(nullptr)}) {
        stuck::written.clear();
        const auto plan = text ? hv::ComposeDateTalk(text, 2) : hv::ComposeTimerEndTalk(2);
        EXPECT_EQ((text ? date(text, 0x102) : timerEnd(0x102)) != 0, plan.has_value()) << (text ? text : "timer");
        EXPECT_TRUE(stuck::written == render(plan) && (!plan || !stuck::written.empty())) << (text ? text : "timer");
    }
}

TEST(HvplusDll, ADeviceThatNeverFinishesIsResetAndReleasedAfterTheChain) {
    const auto talk = Hvplus().Export<HvTalkTimeFn>("hvTalkTime");
    ASSERT_NE(talk, nullptr);
    // The sound library is imported late: one real call loads it and its driver first.
    {
        LibraryThreads threads;
        ASSERT_TRUE(threads.active());
        EXPECT_NE(talk("00:00", 1, 0), 0);
    }  // and waits for its release
    const Census before = TakeCensus();
    const int opens = stuck::opens, closes = stuck::closes, resets = stuck::resets;
    {
        stuck::Device device;
        ASSERT_TRUE(device.active());
        for (int i = 0; i < 5; ++i) EXPECT_NE(talk("23:59", 1, 15), 0);
        // Each release gives up once the chain's length and the margin have passed.
        ASSERT_TRUE(device.threads.AtMostRunning(0)) << "a release thread still runs a minute after its call";
        const Census after = SettleTo(before);
        EXPECT_LE(after.threads, before.threads) << "threads of this process before and after the calls";
        EXPECT_LE(after.handles, before.handles) << "open handles of this process before and after the calls";
    }
    EXPECT_EQ(stuck::opens - opens, 5);
    EXPECT_EQ(stuck::closes - closes, 5);
    EXPECT_GE(stuck::resets - resets, 5);
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
