// hvLHA: runs an archiver command through the outside library UNLHA32.DLL and saves the
// text it answers with to a file.
#include <windows.h>

#include <algorithm>
#include <string>

#include "hvplus/safe_load_win.h"

namespace {

constexpr DWORD kOutputSize = 0x7FFF;
constexpr LONG kNoEntryPoint = 0x10000;
constexpr LONG kLoadFailed = 0x10001;

typedef int(WINAPI* UnlhaFn)(HWND owner, LPCSTR commandLine, LPSTR output, DWORD size);

// The library's texts are fixed Japanese; shown through the wide API they read right
// whatever the system's ANSI code page is.
constexpr wchar_t kLoadFailedText[] = L"UNLHA32.DLLの呼出しに失敗しました。";
constexpr wchar_t kNoEntryPointText[] = L"Unlha関数のエントリポイントが見つかりません。";

std::wstring FromAnsi(const char* text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

// A new, empty file beside `target` under a name of its own ("log.txt.<number>.tmp"): never
// a file that is there already, whether another program's output on its way or the user's.
// It is born with the target's attributes (hidden, say): ReplaceFileW keeps them on
// Windows, but not every implementation of it does (Wine's, measured, does not).
// INVALID_HANDLE_VALUE when the folder takes no new file.
HANDLE CreateFileBeside(const std::wstring& target, std::wstring& name) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD old = GetFileAttributesW(target.c_str());
    const DWORD attributes = old == INVALID_FILE_ATTRIBUTES || !(old & kKept) ? FILE_ATTRIBUTE_NORMAL : old & kKept;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const unsigned long long seed = static_cast<unsigned long long>(now.QuadPart) ^ GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        name = target + L"." + std::to_wstring(seed + attempt * 0x9E3779B9ull) + L".tmp";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Replaces the file with the text. The text goes to a file of its own in the same folder
// first, which takes the old one's place only once it is whole: a full disk, a lock or a
// power cut leaves the previous output as it was. ReplaceFileW keeps what the old file had
// besides its bytes (attributes, permissions, creation time); a file that is not there
// (new, or gone in a replacement that failed half-way) is moved into place instead.
// Whether that works is not reported (the caller has nowhere to show it, and the
// archiver's command itself succeeded).
void SaveText(const char* path, const char* text, DWORD length) noexcept {
    if (!path) return;
    try {
        const std::wstring target = FromAnsi(path);
        std::wstring temporary;
        HANDLE file = CreateFileBeside(target, temporary);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        bool whole = length == 0 || (WriteFile(file, text, length, &written, nullptr) && written == length);
        whole = FlushFileBuffers(file) && whole;
        whole = CloseHandle(file) && whole;
        if (whole && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                  nullptr))
            return;
        if (whole && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
            MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            return;
        DeleteFileW(temporary.c_str());
    } catch (...) {
        // Out of memory for the file names: the output is lost like that of a locked file.
    }
}

}  // namespace

static LONG RunArchiver(HWND owner, LPCSTR commandLine, LPCSTR outputFile) {
    // A damaged or incomplete UNLHA32.DLL must end in this library's message, not in
    // a system error box first.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    // Only the copy in the program's folder or the system folder: never one that was
    // planted in the current folder or a PATH folder.
    HMODULE archiver = hv::LoadFromProgramOrSystemFolder(L"UNLHA32.DLL");
    SetThreadErrorMode(oldMode, nullptr);
    if (!archiver) {
        MessageBoxW(owner, kLoadFailedText, nullptr, MB_OK | MB_ICONERROR);
        return kLoadFailed;
    }
    auto unlha = reinterpret_cast<UnlhaFn>(reinterpret_cast<void*>(GetProcAddress(archiver, "Unlha")));
    if (!unlha) {
        MessageBoxW(owner, kNoEntryPointText, nullptr, MB_OK | MB_ICONERROR);
        FreeLibrary(archiver);
        return kNoEntryPoint;
    }
    auto* output = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kOutputSize));
    if (!output) {
        FreeLibrary(archiver);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    const LONG result = unlha(owner, commandLine, output, kOutputSize);
    if (result == 0) {
        // Up to the NUL, but never past the buffer: an archiver that fills all of it
        // leaves no terminator.
        const char* end = std::find(output, output + kOutputSize, '\0');
        SaveText(outputFile, output, static_cast<DWORD>(end - output));
    }
    HeapFree(GetProcessHeap(), 0, output);
    FreeLibrary(archiver);
    return result;
}

// No exception may leave an export (the caller is not C++); the only one that can arise
// is a failed allocation, answered like the output buffer's.
extern "C" LONG WINAPI hvLHA(HWND owner, LPCSTR commandLine, LPCSTR outputFile) {
    try {
        return RunArchiver(owner, commandLine, outputFile);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}
