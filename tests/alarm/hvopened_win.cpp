// Stands in for a document's program in the alarm tests: writes the document name it was
// started with into "<document>.opened" (UTF-16), so the test sees the shell open it.
#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 1;
    std::wstring document = argv[1];
    HANDLE file = CreateFileW((document + L".opened").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, document.c_str(), static_cast<DWORD>(document.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
