// traybench: from a command of the notification-area menu, or the hotkey, to the first sound,
// beside a plain waveOut start in the same run (scripts/bench-tray).
//   traybench ROUNDS
//       Creates the real main window over settings in memory (24-hour clock, speed 0) with
//       hvplus.dll beside the program, then per round, 1.5 s apart: a plain waveOut start of a
//       tone, the menu's "今の時刻を読み上げる", the hotkey, the menu's "今日の日付を読み上げる".
//       Prints "start N LABEL START_MS" for each (QueryPerformanceCounter in milliseconds,
//       the recorder's clock under Wine).
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/main_menu.h"
#include "app/main_window_win.h"
#include "hvplus/hvplus_binding_win.h"
#include "settings/memory_store.h"
#include "settings/settings_io.h"
#include "tools/bench/bench_win.h"

namespace {

void Pump(DWORD ms) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

// The baseline: what the device itself takes from open to sound, for a tone that is loud
// from its first sample, in the same format the library plays.
void PlainStart(int round) {
    std::vector<std::int16_t> tone(11025 * 3 / 10);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = (i / 11) % 2 ? 12000 : -12000;  // 500 Hz square
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 11025, 22050, 2, 16, 0};
    const double start = hvbench::NowMs();
    HWAVEOUT out = nullptr;
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(tone.data());
    header.dwBufferLength = static_cast<DWORD>(tone.size() * 2);
    if (waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR) {
        waveOutPrepareHeader(out, &header, sizeof header);
        waveOutWrite(out, &header, sizeof header);
        std::printf("start %d waveOut %.3f\n", round, start);
        std::fflush(stdout);
        Pump(600);
        waveOutReset(out);
        waveOutUnprepareHeader(out, &header, sizeof header);
        waveOutClose(out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
    hv::MemorySettingsStore store;
    hv::App app;
    app.store = &store;
    app.hvplus = &hv::HvplusLibrary::BesideProgram();
    if (!app.hvplus->Load()) return 1;
    SYSTEMTIME today;
    GetLocalTime(&today);
    app.calendarDate = {today.wYear, today.wMonth, today.wDay};
    app.calendar = hv::ComputeMonthCalendar(app.calendarDate);
    hv::LoadSettings(store, app.settings, true);
    app.settings.AnnounceTiming = hv::AnnounceTiming::AnnounceNone;
    app.settings.Clock24 = true;
    app.settings.TalkSpeed = 0;
    hv::MainWindow window(app);
    if (!window.Create()) return 1;
    Pump(1000);
    const struct {
        const char* label;
        UINT message;
        WPARAM command;
    } commands[] = {{"menu-time", WM_COMMAND, hv::kCmdSpeakTime},
                    {"hotkey", WM_HOTKEY, hv::kTalkHotkeyId},
                    {"menu-date", WM_COMMAND, hv::kCmdSpeakDate}};
    for (int round = 1; round <= rounds; ++round) {
        PlainStart(round);
        Pump(900);
        for (const auto& c : commands) {
            const double start = hvbench::NowMs();
            SendMessageW(window.hwnd(), c.message, c.command, 0);
            std::printf("start %d %s %.3f\n", round, c.label, start);
            std::fflush(stdout);
            Pump(1500);
        }
    }
    DestroyWindow(window.hwnd());
    return 0;
}
