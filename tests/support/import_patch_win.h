// Replaces one function that a loaded module imports by name, for the lifetime of the
// object: the tests' way to hand hvplus.dll a failing allocator, a failing file write or a
// sound device that never finishes, without any hook in the library itself.
#pragma once

#include <windows.h>

#include <cstddef>

namespace hvtest {

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(module);
        if (!base) return;
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
             dir.VirtualAddress && d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
                slot_ = reinterpret_cast<void**>(&slots->u1.Function);
                original_ = *slot_;
                Write(replacement);
                return;
            }
        }
    }
    ~ImportPatch() {
        if (slot_) Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Whether the module imports the function (a test without it would prove nothing).
    bool active() const { return slot_ != nullptr; }

private:
    void Write(void* value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        InterlockedExchangePointer(slot_, value);
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// A malloc out of memory for all but small blocks, as when memory runs short for a large
// block: the runtime's own bookkeeping (thread records, the exception object) still gets
// its few bytes, which throwing std::bad_alloc needs.
inline void* __cdecl MallocFailingLargeBlocks(std::size_t size) {
    static const auto malloc = reinterpret_cast<void*(__cdecl*)(std::size_t)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), "malloc")));
    return size < 4096 ? malloc(size) : nullptr;
}

}  // namespace hvtest
