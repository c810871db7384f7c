// A stand-in for the outside archiver UNLHA32.DLL, for tests and development machines
// that lack it: Unlha(window, command line, buffer, size) understands "l ARCHIVE" and
// writes the archive's listing into the buffer. Never shipped with the program.
#include <windows.h>

#include <algorithm>
#include <string>

#include "tools/unlha/lzh_archive.h"

namespace {

class FileSource : public hv::ByteSource {
public:
    explicit FileSource(HANDLE file) : file_(file) {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file, &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    std::uint64_t Size() const override { return size_; }
    std::size_t Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return 0;
        std::size_t done = 0;
        while (done < count) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1 << 20)), got = 0;
            if (!ReadFile(file_, out + done, chunk, &got, nullptr) || got == 0) break;
            done += got;
        }
        return done;
    }

private:
    HANDLE file_;
    std::uint64_t size_ = 0;
};

std::wstring FromAnsi(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// Level 2 stamps are UTC; the listing shows them in the user's time zone, as the MS-DOS
// stamps of levels 0 and 1 already are.
hv::LzhDateTime LocalDateTime(std::int64_t unixTime) {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(unixTime + 11644473600LL) * 10000000ULL;
    FILETIME utc{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME system, local;
    if (!FileTimeToSystemTime(&utc, &system) || !SystemTimeToTzSpecificLocalTime(nullptr, &system, &local))
        return hv::UtcDateTime(unixTime);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

int List(const std::string& archivePath, std::string& text) {
    HANDLE file = CreateFileW(FromAnsi(archivePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        text = "cannot open the archive " + archivePath;
        return hv::kUnlhaCannotOpen;
    }
    FileSource source(file);
    hv::LzhArchive archive = hv::ReadLzhArchive(source);
    CloseHandle(file);
    if (!archive.ok) {
        text = archivePath + ": " + archive.error;
        return hv::kUnlhaBadArchive;
    }
    text = hv::FormatLzhListing(archive.members, LocalDateTime);
    return hv::kUnlhaOk;
}

}  // namespace

extern "C" int WINAPI Unlha(HWND, LPCSTR commandLine, LPSTR output, DWORD size) {
    std::string text;
    int result;
    try {
        hv::UnlhaCommand command = hv::ParseUnlhaCommand(commandLine ? commandLine : "");
        if (command.ok) {
            result = List(command.archive, text);
        } else {
            text = command.error;
            result = hv::kUnlhaBadCommand;
        }
    } catch (...) {  // nothing may unwind into the caller
        text = "out of memory";
        result = hv::kUnlhaBadArchive;
    }
    hv::CopyCutToFit(text, output, size);
    return result;
}
