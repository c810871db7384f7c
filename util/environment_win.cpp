#include "util/environment_win.h"

#include <initializer_list>
#include <utility>

#include "hvplus/module_paths_win.h"
#include "util/file_version_win.h"

namespace hv {

namespace {

class RegKey {
public:
    explicit RegKey(const wchar_t* path) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool opened() const { return key_ != nullptr; }

    // Fills each field with the text value of its name; true when the key is open (a key
    // that cannot be opened, and a value that cannot be read, leave their fields empty).
    bool ReadTexts(std::initializer_list<std::pair<RegText*, const wchar_t*>> fields) const {
        for (const auto& [field, name] : fields) *field = Text(name);
        return opened();
    }

    // Texts are read whole, whatever their length, and cut at the first NUL.
    RegText Text(const wchar_t* name) const {
        DWORD type = 0, bytes = 0;
        if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        return text;
    }

    RegDword Dword(const wchar_t* name) const {
        DWORD type = 0, value = 0, bytes = sizeof value;
        if (!key_ ||
            RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return value;
    }

private:
    HKEY key_ = nullptr;
};

std::wstring SystemFolder(const SystemInfo& info) {
    if (!info.SystemDirectory.empty()) return WithTrailingBackslash(info.SystemDirectory);
    wchar_t buffer[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return WithTrailingBackslash(buffer);
}

}  // namespace

OsRegistryValues ReadOsRegistryValues(bool isNT) {
    OsRegistryValues values;
    if (!isNT) {
        Win9xValues& w = values.Win9x;
        RegKey key(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
        w.Opened = key.ReadTexts({{&w.Version, L"Version"}, {&w.VersionNumber, L"VersionNumber"},
                                  {&w.SubVersionNumber, L"SubVersionNumber"},
                                  {&w.PlusVersionNumber, L"Plus! VersionNumber"}});
        return values;
    }
    NtVersionValues& nt = values.Nt;
    RegKey key(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    nt.Opened = key.ReadTexts({{&nt.CurrentVersion, L"CurrentVersion"}, {&nt.CurrentBuildNumber, L"CurrentBuildNumber"},
                               {&nt.ProductName, L"ProductName"}, {&nt.DisplayVersion, L"DisplayVersion"},
                               {&nt.ReleaseId, L"ReleaseId"}, {&nt.CurrentBuild, L"CurrentBuild"}});
    nt.CurrentMajorVersionNumber = key.Dword(L"CurrentMajorVersionNumber");
    nt.CurrentMinorVersionNumber = key.Dword(L"CurrentMinorVersionNumber");
    BrowserValues& ie = values.Browser;
    RegKey browser(L"SOFTWARE\\Microsoft\\Internet Explorer");
    ie.Opened = browser.ReadTexts({{&ie.Version, L"Version"}, {&ie.svcVersion, L"svcVersion"}});
    return values;
}

std::vector<std::string> ImportedDllNames(HMODULE module) {
    std::vector<std::string> names;
    if (!module) return names;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return names;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return names;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0) return names;
    for (const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name;
         ++d)
        names.emplace_back(reinterpret_cast<const char*>(base + d->Name));
    return names;
}

std::vector<SharedFileVersion> ReadSharedFileVersions(const SystemInfo& info) {
    const std::wstring runtime = ChooseRuntimeLibrary(ImportedDllNames(GetModuleHandleW(nullptr)));
    const std::wstring systemFolder = SystemFolder(info);
    std::vector<SharedFileVersion> files;
    for (const std::wstring& name : SharedFileNames(runtime)) {
        std::wstring path;
        if (name == kProgramLibraryName) {
            path = info.AppPath.empty() ? name : WithTrailingBackslash(info.AppPath) + name;
        } else if (HMODULE loaded = GetModuleHandleW(name.c_str())) {
            // The copy this process really uses (a side-by-side COMCTL32.DLL, for one).
            path = ModulePath(loaded);
        }
        if (path.empty()) path = systemFolder + name;
        files.push_back({name, GetFileVersionText(path)});
    }
    return files;
}

std::wstring BuildSystemEnvironmentReport(const SystemInfo& info) {
    return BuildEnvironmentReport(info.IsNT, ReadOsRegistryValues(info.IsNT), ReadSharedFileVersions(info));
}

}  // namespace hv
