// The clip the alarm tests play, and whether a wave sound the program started still plays.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

namespace hvtest {

inline const std::wstring kClip = [] {
    std::wstring path;
    for (const char* c = HV_CLIPS_DIR "/10.wav"; *c; ++c) path += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    return path;
}();

// SND_NOSTOP refuses to start a sound while another plays.
inline bool WavePlaying() {
    if (!PlaySoundW(kClip.c_str(), nullptr, SND_ASYNC | SND_NOSTOP | SND_FILENAME | SND_NODEFAULT)) return true;
    PlaySoundW(nullptr, nullptr, 0);
    return false;
}

}  // namespace hvtest
