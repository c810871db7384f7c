// Facts about the system and the program that start-up records once.
#pragma once

#include <cstdint>
#include <string>

namespace hv {

struct SystemInfo {
    std::uint32_t AppVersion = 0;      // major * 65536 + minor
    bool IsNT = false;                 // platform id 2
    std::uint32_t OsMajorVersion = 0;
    std::wstring AppPath;              // the program's folder, ending in a backslash
    std::wstring SystemDirectory;      // ending in a backslash
};

inline constexpr std::uint32_t kAppVersionMajor = 1;
inline constexpr std::uint32_t kAppVersionMinor = 1;
inline constexpr std::uint32_t kAppVersion = kAppVersionMajor * 65536 + kAppVersionMinor;

// `folder` with exactly one backslash at its end ("C:\" stays "C:\").
inline std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

// Translucency needs an NT-family system of version 5 or later.
inline bool TranslucencyAvailable(const SystemInfo& info) { return info.IsNT && info.OsMajorVersion > 4; }

}  // namespace hv
