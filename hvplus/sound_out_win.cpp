#include "hvplus/sound_out_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <memory>

namespace hv {
namespace {

// How long past the end of the stream a device may take to report it done before it is
// reset: far beyond any output latency, short enough that a device which never reports
// holds its handle and buffer for seconds, not for good.
constexpr DWORD kReleaseMarginMs = 2000;

// One stream in flight. It outlives the call that started it: the closing clip is
// still playing when hvTalkTime returns, so a small thread releases the device and
// the samples once the device reports the buffer done, or once the chain's length and
// the margin have passed (the destructor resets whatever is still playing).
struct PlayJob {
    HWAVEOUT out = nullptr;
    WAVEHDR header{};
    std::vector<std::int16_t> pcm;
    HANDLE doneEvent = nullptr;

    bool Done() const { return (static_cast<volatile const DWORD&>(header.dwFlags) & WHDR_DONE) != 0; }
    void WaitUntilDoneOrDeadline() const {
        const ULONGLONG deadline = GetTickCount64() + pcm.size() * 1000ull / kClipSampleRate + kReleaseMarginMs;
        while (!Done() && GetTickCount64() < deadline) WaitForSingleObject(doneEvent, 100);
    }
    ~PlayJob() {
        if (out) {
            waveOutReset(out);
            if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out, &header, sizeof header);
            waveOutClose(out);
        }
        if (doneEvent) CloseHandle(doneEvent);
    }
};

DWORD WINAPI FinishJob(void* param) {
    std::unique_ptr<PlayJob> job(static_cast<PlayJob*>(param));
    job->WaitUntilDoneOrDeadline();
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&FinishJob), &self);
    job.reset();
    // Drops the reference taken when the thread was started, so that a caller that
    // frees the library meanwhile does not pull the code out from under this thread.
    FreeLibraryAndExitThread(self, 0);
}

// Position in samples played so far, or -1 when the device cannot tell.
long long PlayedSamples(HWAVEOUT out) {
    MMTIME t{};
    t.wType = TIME_SAMPLES;
    if (waveOutGetPosition(out, &t, sizeof t) != MMSYSERR_NOERROR) return -1;
    if (t.wType == TIME_SAMPLES) return t.u.sample;
    if (t.wType == TIME_BYTES) return t.u.cb / sizeof(std::int16_t);
    return -1;
}

// How long to sleep before asking the device for its position again. Each query takes
// locks that the sound system's feeding threads need too, so the wait asks a few dozen
// times per chain rather than every millisecond: half the remaining time (which cannot
// overshoot while the position advances no faster than real time), at most a quarter
// second, and every millisecond for the last few.
DWORD PollDelayMs(long long played, std::size_t target) {
    if (played < 0) return 1;
    const long long remainingMs = (static_cast<long long>(target) - played) * 1000 / kClipSampleRate;
    if (remainingMs <= 4) return 1;
    return static_cast<DWORD>(std::min<long long>(remainingMs / 2, 250));
}

}  // namespace

bool PlayUntilClosingClip(const TalkStream& stream) {
    if (stream.pcm.empty()) return false;
    auto job = std::make_unique<PlayJob>();
    job->pcm = stream.pcm;
    job->doneEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!job->doneEvent) return false;

    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kClipSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kClipSampleRate * 2;
    if (waveOutOpen(&job->out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(job->doneEvent), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        job->out = nullptr;
        return false;
    }
    job->header.lpData = reinterpret_cast<LPSTR>(job->pcm.data());
    job->header.dwBufferLength = static_cast<DWORD>(job->pcm.size() * sizeof(std::int16_t));
    if (waveOutPrepareHeader(job->out, &job->header, sizeof job->header) != MMSYSERR_NOERROR ||
        waveOutWrite(job->out, &job->header, sizeof job->header) != MMSYSERR_NOERROR)
        return false;

    // Wait for the closing clip. A device that stops advancing for longer than the
    // stream itself plus a generous start-up allowance counts as a failed play.
    timeBeginPeriod(1);
    const ULONGLONG streamMs = stream.closingStart * 1000ull / kClipSampleRate;
    const ULONGLONG deadline = GetTickCount64() + streamMs + 5000;
    bool reached = false;
    for (;;) {
        long long played = PlayedSamples(job->out);
        if (played >= static_cast<long long>(stream.closingStart) || job->Done()) {
            reached = true;
            break;
        }
        if (GetTickCount64() > deadline) break;
        Sleep(PollDelayMs(played, stream.closingStart));
    }
    timeEndPeriod(1);
    if (!reached) return false;  // the job's destructor resets and closes the device

    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&FinishJob),
                            &self))
        self = nullptr;
    PlayJob* raw = job.get();
    HANDLE thread = CreateThread(nullptr, 0, FinishJob, raw, 0, nullptr);
    if (!thread) {
        // No thread to wait on: let the closing clip finish here instead.
        raw->WaitUntilDoneOrDeadline();
        if (self) FreeLibrary(self);
        return true;
    }
    job.release();
    CloseHandle(thread);
    return true;
}

}  // namespace hv
