// Help topics and the shipped help pages, and the open-file filter.
#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "util/file_filter.h"
#include "util/help_topics.h"

namespace {

using namespace std::string_literals;

TEST(HelpTopics, ContextsOpenTheirPagesBesideTheProgram) {
    const std::pair<std::uint32_t, const wchar_t*> pages[] = {
        {3, L"announce.html"}, {7, L"alarm.html"}, {11, L"appearance.html"}, {1, L"main.html"}, {13, L"tray.html"},
        {0, L"index.html"},    {4, L"index.html"}, {0xFFFFFFFF, L"index.html"}};  // unknown: the topic list
    for (const auto& [context, page] : pages) EXPECT_EQ(hv::HelpPageForContext(context), page) << context;
    EXPECT_EQ(hv::HelpPagePath(L"C:\\Tools", L"a.html"), L"C:\\Tools\\Horavx\\a.html");
    EXPECT_EQ(hv::HelpPagePath(L"D:\\", L"a.html"), L"D:\\Horavx\\a.html");
}

// Every topic has a UTF-8 page in the topic list, and every local link and picture resolves.
TEST(HelpPages, EveryTopicExistsAndEveryLinkResolves) {
    const std::filesystem::path folder = HV_HELP_SOURCE_DIR;
    auto read = [&](const std::wstring& page) {
        std::ostringstream out;
        out << std::ifstream(folder / page, std::ios::binary).rdbuf();
        return out.str();
    };
    const std::string list = read(hv::kHelpTopicListPage);
    const std::regex link(R"re((?:href|src)="([^"#:]+)(#[^"]*)?")re");
    for (const hv::HelpTopic& topic : hv::HelpTopics()) {
        const std::string page(topic.page, topic.page + std::wcslen(topic.page));
        SCOPED_TRACE(page);
        const std::string html = read(topic.page);
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
        if (topic.page != std::wstring(hv::kHelpTopicListPage)) {
            EXPECT_NE(list.find("href=\"" + page + "\""), std::string::npos) << "not in the topic list";
        }
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            EXPECT_TRUE(std::filesystem::exists(folder / (*it)[1].str())) << (*it)[1].str();
        }
    }
}

TEST(OpenFileFilter, EndsWithTheListTerminator) {
    EXPECT_EQ(hv::BuildOpenFileFilter(L"WAVE (*.wav)\0*.wav\0"s), L"WAVE (*.wav)\0*.wav\0\0\0"s);
    EXPECT_EQ(hv::BuildOpenFileFilter(L"WAVE (*.wav)\0*.wav"s), L"WAVE (*.wav)\0*.wav\0\0"s);  // last NUL left out
}

}  // namespace
