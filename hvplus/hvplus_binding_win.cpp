#include "hvplus/hvplus_binding_win.h"

#include "hvplus/module_paths_win.h"

namespace hv {

HvplusLibrary::~HvplusLibrary() {
    if (module_) FreeLibrary(module_);
}

HvplusLibrary& HvplusLibrary::BesideProgram() {
    static HvplusLibrary library(ProgramFolderOf() + L"hvplus.dll");
    return library;
}

bool HvplusLibrary::Load() {
    if (!module_) module_ = LoadLibraryW(path_.c_str());
    return module_ != nullptr;
}

template <typename Fn>
Fn HvplusLibrary::Bind(Fn& slot, const char* name) {
    if (!slot) slot = Export<Fn>(name);
    return slot;
}

LONG HvplusLibrary::GetDllVersion(LONG failure) {
    auto fn = Bind(getDllVersion_, "hvGetDllVersion");
    return fn ? fn() : failure;
}

LONG HvplusLibrary::TalkTime(const char* text, short mode, unsigned char speed) {
    auto fn = Bind(talkTime_, "hvTalkTime");
    return fn ? fn(text, mode, speed) : 0;
}

LONG HvplusLibrary::TalkDate(const char* text, unsigned char speed) {
    auto fn = Bind(talkDate_, "hvTalkDate");
    return fn ? fn(text, speed) : 0;
}

LONG HvplusLibrary::TalkTimerEnd(unsigned char speed) {
    auto fn = Bind(talkTimerEnd_, "hvTalkTimerEnd");
    return fn ? fn(speed) : 0;
}

LONG HvplusLibrary::PaintGradation(HWND window, COLORREF first, COLORREF second, LONG direction) {
    auto fn = Bind(paintGradation_, "hvPaintGradation");
    return fn ? fn(window, static_cast<LONG>(first), static_cast<LONG>(second), direction) : 0;
}

LONG HvplusLibrary::Lha(HWND owner, const char* commandLine, const char* outputFile, LONG failure) {
    auto fn = Bind(lha_, "hvLHA");
    return fn ? fn(owner, commandLine, outputFile) : failure;
}

}  // namespace hv
