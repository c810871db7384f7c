// hvplus.dll: entry point, library version and the spoken time.
#include <windows.h>

#include "hvplus/hvplus_api.h"
#include "hvplus/safe_load_win.h"
#include "hvplus/sound_out_win.h"
#include "hvplus/talk_plan.h"
#include "hvplus/talk_stream.h"

namespace {

// The library's only state: its own module, where the voice clips live.
HMODULE g_module = nullptr;

std::optional<hv::WaveClip> LoadClip(int id) {
    HRSRC res = FindResourceExW(g_module, L"SOUND", MAKEINTRESOURCEW(id), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (!res) res = FindResourceW(g_module, MAKEINTRESOURCEW(id), L"SOUND");
    if (!res) return std::nullopt;
    HGLOBAL data = LoadResource(g_module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return std::nullopt;
    return hv::ParseWaveClip({static_cast<const std::uint8_t*>(bytes), SizeofResource(g_module, res)});
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    g_module = instance;
    return TRUE;
}

extern "C" LONG WINAPI hvGetDllVersion() { return hv::kHvplusVersion; }

// No exception may leave an export: the caller is not C++ and cannot catch it. The only
// one that can arise is a failed allocation, which is a failed play.
namespace {

LONG Speak(const std::optional<hv::TalkPlan>& plan) {
    try {
        if (!plan) return 0;
        auto stream = hv::RenderTalk(*plan, LoadClip);
        if (!stream) return 0;
        // The sound goes out through winmm, imported late: without it, a failed play.
        if (!hv::SystemLibraryLoads(L"winmm.dll")) return 0;
        return hv::PlayUntilClosingClip(*stream) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" LONG WINAPI hvTalkTime(LPCSTR text, SHORT mode, BYTE speed) {
    return Speak(hv::ComposeTalk(text, mode, speed));
}

extern "C" LONG WINAPI hvTalkDate(LPCSTR text, BYTE speed) { return Speak(hv::ComposeDateTalk(text, speed)); }

extern "C" LONG WINAPI hvTalkTimerEnd(BYTE speed) { return Speak(hv::ComposeTimerEndTalk(speed)); }
