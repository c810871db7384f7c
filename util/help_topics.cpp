#include "util/help_topics.h"

namespace hv {

namespace {

constexpr HelpTopic kTopics[] = {
    {0, kHelpTopicListPage},
    {kHelpContextMainWindow, L"main.html"},
    {kHelpContextAnnounce, L"announce.html"},
    {kHelpContextAlarm, L"alarm.html"},
    {kHelpContextAppearance, L"appearance.html"},
    {kHelpContextTray, L"tray.html"},
};

}  // namespace

std::span<const HelpTopic> HelpTopics() { return kTopics; }

std::wstring HelpPageForContext(std::uint32_t context) {
    for (const HelpTopic& topic : kTopics) {
        if (topic.context == context) return topic.page;
    }
    return kHelpTopicListPage;
}

std::wstring HelpPagePath(const std::wstring& appPath, const std::wstring& page) {
    std::wstring path = appPath;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += kHelpFolderName;
    path += L'\\';
    path += page;
    return path;
}

}  // namespace hv
