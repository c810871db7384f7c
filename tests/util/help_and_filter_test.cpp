// Help topics and their pages, and the open-file filter as the dialog reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "util/file_filter.h"
#include "util/help_topics.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(HelpTopics, DialogContextsOpenTheirOwnPages) {
    EXPECT_EQ(hv::HelpPageForContext(hv::kHelpContextAnnounce), L"announce.html");
    EXPECT_EQ(hv::HelpPageForContext(hv::kHelpContextAlarm), L"alarm.html");
    EXPECT_EQ(hv::HelpPageForContext(hv::kHelpContextAppearance), L"appearance.html");
    EXPECT_EQ(hv::HelpPageForContext(hv::kHelpContextMainWindow), L"main.html");
    // A context no page answers opens the topic list instead of nothing.
    EXPECT_EQ(hv::HelpPageForContext(0), L"index.html");
    EXPECT_EQ(hv::HelpPageForContext(4), L"index.html");
    EXPECT_EQ(hv::HelpPageForContext(0xFFFFFFFF), L"index.html");
}

TEST(HelpTopics, PagesLieInTheHoravxFolderOfTheProgram) {
    EXPECT_EQ(hv::HelpPagePath(L"C:\\Program Files\\Horavox\\", L"alarm.html"),
              L"C:\\Program Files\\Horavox\\Horavx\\alarm.html");
    EXPECT_EQ(hv::HelpPagePath(L"C:\\Tools", L"index.html"), L"C:\\Tools\\Horavx\\index.html");
    EXPECT_EQ(hv::HelpPagePath(L"D:\\", L"index.html"), L"D:\\Horavx\\index.html");
}

// The shipped pages: every topic has one, every local link and picture resolves, the
// topic list reaches every topic, and each page says it is UTF-8 (it is Japanese text).
TEST(HelpPages, EveryTopicExistsAndEveryLinkResolves) {
    const std::filesystem::path folder = HV_HELP_SOURCE_DIR;
    const std::string list = ReadFile(folder / Narrow(hv::kHelpTopicListPage));
    ASSERT_FALSE(list.empty());
    const std::regex link(R"re((?:href|src)="([^"#:]+)(#[^"]*)?")re");
    for (const hv::HelpTopic& topic : hv::HelpTopics()) {
        const std::string page = Narrow(topic.page);
        SCOPED_TRACE(page);
        const std::string html = ReadFile(folder / page);
        ASSERT_FALSE(html.empty());
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
        EXPECT_NE(html.find("<title>"), std::string::npos);
        if (topic.page != std::wstring(hv::kHelpTopicListPage)) {
            EXPECT_NE(list.find("href=\"" + page + "\""), std::string::npos) << "not in the topic list";
        }
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            EXPECT_TRUE(std::filesystem::exists(folder / (*it)[1].str())) << (*it)[1].str();
        }
    }
}

// The dialog reads descriptions and patterns up to the first empty string.
std::vector<std::wstring> AsDialogReadsIt(const std::wstring& filter) {
    std::vector<std::wstring> parts;
    std::size_t i = 0;
    while (i < filter.size() && filter[i] != L'\0') {
        std::size_t end = filter.find(L'\0', i);
        if (end == std::wstring::npos) return {};  // not terminated: the dialog would read past it
        parts.push_back(filter.substr(i, end - i));
        i = end + 1;
    }
    if (i >= filter.size()) return {};
    return parts;
}

TEST(OpenFileFilter, EndsWithTheListTerminator) {
    using namespace std::string_literals;
    const std::wstring callerText = L"サウンドファイル (*.wav)\0*.wav\0"s;
    std::wstring filter = hv::BuildOpenFileFilter(callerText);
    EXPECT_EQ(filter.size(), callerText.size() + 2);
    std::vector<std::wstring> expected{L"サウンドファイル (*.wav)", L"*.wav"};
    EXPECT_EQ(AsDialogReadsIt(filter), expected);

    // Two pairs, the last NUL left out by the caller.
    std::vector<std::wstring> two{L"MIDI (*.mid;*.rmi)", L"*.mid;*.rmi", L"すべて (*.*)", L"*.*"};
    EXPECT_EQ(AsDialogReadsIt(hv::BuildOpenFileFilter(L"MIDI (*.mid;*.rmi)\0*.mid;*.rmi\0すべて (*.*)\0*.*"s)), two);
    EXPECT_TRUE(AsDialogReadsIt(hv::BuildOpenFileFilter(L"")).empty());
}

}  // namespace
