#include "util/environment_report.h"

#include <algorithm>

namespace hv {

namespace {

struct VersionPair {
    unsigned long Major = 0;
    unsigned long Minor = 0;
};

// "6.3" -> {6, 3}; anything that does not start with a number gives nothing.
std::optional<VersionPair> ParseVersionPair(const std::wstring& text) {
    std::size_t i = 0;
    auto number = [&](unsigned long& out) {
        std::size_t start = i;
        out = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && i - start < 9) {
            out = out * 10 + static_cast<unsigned long>(text[i] - L'0');
            ++i;
        }
        return i > start;
    };
    VersionPair v;
    if (!number(v.Major)) return std::nullopt;
    if (i < text.size() && text[i] == L'.') {
        ++i;
        number(v.Minor);
    }
    return v;
}

bool Before(VersionPair a, VersionPair b) { return a.Major < b.Major || (a.Major == b.Major && a.Minor < b.Minor); }

std::wstring Trimmed(const std::wstring& text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

bool ParseUnsigned(const std::wstring& text, unsigned long& out) {
    auto parsed = ParseVersionPair(text);
    if (!parsed) return false;
    out = parsed->Major;
    return true;
}

// XP and later name themselves through ProductName; "Microsoft " in front of it (XP,
// Server 2003) adds nothing after "OS:". Windows 11 kept "Windows 10" there: the build
// tells them apart.
std::wstring ProductText(const NtVersionValues& nt, unsigned long major, const std::wstring& build) {
    std::wstring name = Trimmed(*nt.ProductName);
    constexpr std::wstring_view kMaker = L"Microsoft ";
    if (name.starts_with(kMaker)) name.erase(0, kMaker.size());
    unsigned long buildNumber = 0;
    constexpr std::wstring_view kTen = L"Windows 10";
    std::size_t ten = name.find(kTen);
    if (major == 10 && ParseUnsigned(build, buildNumber) && buildNumber >= 22000 && ten != std::wstring::npos)
        name.replace(ten, kTen.size(), L"Windows 11");
    const RegText& release = nt.DisplayVersion ? nt.DisplayVersion : nt.ReleaseId;
    if (release && !Trimmed(*release).empty()) name += L" " + Trimmed(*release);
    return name;
}

std::wstring NtSystemText(const NtVersionValues& nt) {
    const RegText& build = nt.CurrentBuild ? nt.CurrentBuild : nt.CurrentBuildNumber;
    std::optional<VersionPair> version;
    if (nt.CurrentMajorVersionNumber) {
        version = VersionPair{*nt.CurrentMajorVersionNumber, nt.CurrentMinorVersionNumber.value_or(0)};
    } else if (nt.CurrentVersion) {
        version = ParseVersionPair(*nt.CurrentVersion);
    }
    std::wstring versionText;
    if (nt.CurrentMajorVersionNumber) {
        versionText = std::to_wstring(version->Major) + L"." + std::to_wstring(version->Minor);
    } else if (nt.CurrentVersion) {
        versionText = *nt.CurrentVersion;
    }

    const bool newerThan2000 = version && Before(VersionPair{5, 0}, *version);
    if (newerThan2000 && nt.ProductName && !Trimmed(*nt.ProductName).empty()) {
        std::wstring text = ProductText(nt, version->Major, build.value_or(L""));
        if (build) text += L"  " + versionText + L"." + *build;
        return text;
    }
    // NT 4.0 and 2000 as they always read; anything else without a product name is an
    // NT version by its numbers (never "2000" for a newer system).
    if (!build) return L"Windows ";
    const bool is2000 = version && !Before(*version, VersionPair{5, 0}) && !newerThan2000;
    return std::wstring(L"Windows ") + (is2000 ? L"2000  " : L"NT ") + versionText + L"." + *build;
}

}  // namespace

std::wstring BuildOsLine(bool isNT, const OsRegistryValues& values) {
    if (isNT) {
        const NtVersionValues& nt = values.Nt;
        std::wstring line = L"OS:";
        line += nt.Opened ? NtSystemText(nt) : L"Windows NT (Unknown version)";
        const BrowserValues& ie = values.Browser;
        if (!ie.Opened) {
            line += L" (No IE)";
        } else {
            const RegText& version = ie.svcVersion ? ie.svcVersion : ie.Version;
            if (version) line += L" with IE " + *version;
        }
        return line;
    }
    const Win9xValues& w = values.Win9x;
    if (!w.Opened) return L"OS:Windows 9x (Unknown version)";
    std::wstring line = L"OS:Windows ";
    if (w.Version) line = L"OS:" + *w.Version;
    if (w.VersionNumber) {
        line += L" [" + *w.VersionNumber;
        if (w.SubVersionNumber) line += Trimmed(*w.SubVersionNumber);
        line += L"]";
    }
    if (w.PlusVersionNumber) line += L" with " + *w.PlusVersionNumber;
    return line;
}

std::wstring FormatSharedFileLine(const SharedFileVersion& file) {
    std::wstring line = file.Name;
    if (line.size() < 12) line.append(12 - line.size(), L' ');
    line += L'\t';
    line += file.Version;
    return line;
}

std::wstring BuildEnvironmentReport(bool isNT, const OsRegistryValues& values,
                                    const std::vector<SharedFileVersion>& files) {
    std::wstring report = BuildOsLine(isNT, values);
    report += L"\r\nShared File Versions:";
    for (const SharedFileVersion& file : files) {
        report += L"\r\n";
        report += FormatSharedFileLine(file);
    }
    return report;
}

std::wstring ChooseRuntimeLibrary(const std::vector<std::string>& importedDlls) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        return s;
    };
    std::wstring versioned;
    for (const std::string& dll : importedDlls) {
        std::string name = lower(dll);
        if (name == "ucrtbase.dll" || name.starts_with("api-ms-win-crt-")) return L"ucrtbase.dll";
        if (versioned.empty() && name != "msvcrt.dll" && name.starts_with("msvcr") && name.ends_with(".dll")) {
            versioned.assign(dll.begin(), dll.end());
        }
    }
    return versioned.empty() ? L"msvcrt.dll" : versioned;
}

std::vector<std::wstring> SharedFileNames(std::wstring_view runtimeLibrary) {
    return {std::wstring(runtimeLibrary), kProgramLibraryName, L"OLE32.DLL", L"COMDLG32.DLL", L"COMCTL32.DLL",
            L"MSCMCJP.DLL", L"MSCOMCTL.OCX"};
}

std::wstring VersionLabel(std::uint32_t appVersion) {
    return L"Ver " + std::to_wstring(appVersion >> 16) + L"." + std::to_wstring(appVersion & 0xFFFF);
}

}  // namespace hv
