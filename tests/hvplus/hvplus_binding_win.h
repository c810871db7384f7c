// hvplus.dll as the program binds it: loaded by name from beside the executable (once per
// test program), each export looked up by its undecorated name.
#pragma once

#include <windows.h>

namespace hvtest {

inline HMODULE Hvplus() {
    static const HMODULE module = LoadLibraryW(L"hvplus.dll");
    return module;
}

// Null when the library or the export is missing.
template <typename Fn>
Fn BindHvplus(const char* name) {
    return Hvplus() ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(Hvplus(), name))) : nullptr;
}

}  // namespace hvtest
