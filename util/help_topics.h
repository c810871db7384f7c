// Where the help pages live and which page answers which help context. The help is a
// set of HTML pages in the folder "Horavx" beside the program, one page per topic: the
// shell drops a #fragment from a local file's path, so a topic cannot be an anchor.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace hv {

inline constexpr wchar_t kHelpFolderName[] = L"Horavx";
inline constexpr wchar_t kHelpTopicListPage[] = L"index.html";

// Help contexts the dialogs pass to ShowHelpTopic.
inline constexpr std::uint32_t kHelpContextMainWindow = 1;
inline constexpr std::uint32_t kHelpContextAnnounce = 3;
inline constexpr std::uint32_t kHelpContextAlarm = 7;
inline constexpr std::uint32_t kHelpContextAppearance = 11;
inline constexpr std::uint32_t kHelpContextTray = 13;

struct HelpTopic {
    std::uint32_t context;
    const wchar_t* page;
};

// Every topic with its page, the topic list first (context 0).
std::span<const HelpTopic> HelpTopics();

// The page of a help context; an unknown context opens the topic list rather than nothing.
std::wstring HelpPageForContext(std::uint32_t context);

// Full path of a help page: `appPath` (the program's folder) + "Horavx\" + page.
std::wstring HelpPagePath(const std::wstring& appPath, const std::wstring& page);

}  // namespace hv
