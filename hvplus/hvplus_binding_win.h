// hvplus.dll as its callers see it (the program, the tests, the benchmarks): loaded from
// the program's folder by name on first use, each export looked up by name when it is
// first called.
#pragma once

#include <windows.h>

#include <string>

#include "hvplus/hvplus_api.h"

namespace hv {

class HvplusLibrary {
public:
    explicit HvplusLibrary(std::wstring path) : path_(std::move(path)) {}
    ~HvplusLibrary();
    HvplusLibrary(const HvplusLibrary&) = delete;
    HvplusLibrary& operator=(const HvplusLibrary&) = delete;

    // The library beside the running executable, loaded once per process.
    static HvplusLibrary& BesideProgram();

    // Loads the library if needed; false when it cannot be loaded.
    bool Load();
    const std::wstring& path() const { return path_; }
    HMODULE module() { return Load() ? module_ : nullptr; }

    // Any export by name, as type `Fn`; null when the library or the export is missing.
    template <typename Fn>
    Fn Export(const char* name) {
        return Load() ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    }

    // Each returns `failure` when the library or the export is missing.
    LONG GetDllVersion(LONG failure = 0);
    LONG TalkTime(const char* text, short mode, unsigned char speed);
    LONG TalkDate(const char* text, unsigned char speed);
    LONG TalkTimerEnd(unsigned char speed);
    LONG PaintGradation(HWND window, COLORREF first, COLORREF second, LONG direction);
    LONG Lha(HWND owner, const char* commandLine, const char* outputFile, LONG failure = 0x10001);

private:
    template <typename Fn>
    Fn Bind(Fn& slot, const char* name);

    std::wstring path_;
    HMODULE module_ = nullptr;
    HvTalkTimeFn talkTime_ = nullptr;
    HvTalkDateFn talkDate_ = nullptr;
    HvTalkTimerEndFn talkTimerEnd_ = nullptr;
    HvPaintGradationFn paintGradation_ = nullptr;
    HvLhaFn lha_ = nullptr;
    HvGetDllVersionFn getDllVersion_ = nullptr;
};

}  // namespace hv
