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
        base_ = reinterpret_cast<BYTE*>(module);
        if (!base_) return;
        slot_ = FindInImports(dll, function);
        if (!slot_) slot_ = FindInDelayImports(dll, function);
        if (!slot_) return;
        original_ = *slot_;
        Write(replacement);
    }
    ~ImportPatch() {
        if (slot_) Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Whether the module imports the function (a test without it would prove nothing).
    bool active() const { return slot_ != nullptr; }

private:
    const IMAGE_NT_HEADERS* Headers() const {
        return reinterpret_cast<const IMAGE_NT_HEADERS*>(base_ + reinterpret_cast<const IMAGE_DOS_HEADER*>(base_)->e_lfanew);
    }

    // The slot of `function` among the names `names` lists beside the slots `slots`.
    void** FindSlot(const IMAGE_THUNK_DATA* names, IMAGE_THUNK_DATA* slots, const char* function) const {
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base_ + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
        return nullptr;
    }

    void** FindInImports(const char* dll, const char* function) const {
        const IMAGE_DATA_DIRECTORY& dir = Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base_ + dir.VirtualAddress);
             dir.VirtualAddress && d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base_ + d->Name), dll) != 0) continue;
            if (void** slot = FindSlot(reinterpret_cast<const IMAGE_THUNK_DATA*>(base_ + d->OriginalFirstThunk),
                                       reinterpret_cast<IMAGE_THUNK_DATA*>(base_ + d->FirstThunk), function))
                return slot;
        }
        return nullptr;
    }

    // Libraries imported late (MinGW's delay-import libraries) have descriptors the image's
    // directory does not list: they are found by their shape, attributes 1 (addresses
    // relative to the image) and the name of the library, anywhere in the image's sections.
    void** FindInDelayImports(const char* dll, const char* function) const {
        const IMAGE_NT_HEADERS* nt = Headers();
        const DWORD size = nt->OptionalHeader.SizeOfImage;
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            const DWORD end = section->VirtualAddress + section->Misc.VirtualSize - sizeof(IMAGE_DELAYLOAD_DESCRIPTOR);
            for (DWORD at = section->VirtualAddress; at <= end; at += 4) {
                const auto* d = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(base_ + at);
                if (d->Attributes.AllAttributes != 1 || d->DllNameRVA == 0 || d->DllNameRVA >= size ||
                    d->ImportAddressTableRVA == 0 || d->ImportAddressTableRVA >= size ||
                    d->ImportNameTableRVA == 0 || d->ImportNameTableRVA >= size)
                    continue;
                if (lstrcmpiA(reinterpret_cast<const char*>(base_ + d->DllNameRVA), dll) != 0) continue;
                return FindSlot(reinterpret_cast<const IMAGE_THUNK_DATA*>(base_ + d->ImportNameTableRVA),
                                reinterpret_cast<IMAGE_THUNK_DATA*>(base_ + d->ImportAddressTableRVA), function);
            }
        }
        return nullptr;
    }

    void Write(void* value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        InterlockedExchangePointer(slot_, value);
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }
    BYTE* base_ = nullptr;
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
