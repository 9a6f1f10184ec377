// SPDX-License-Identifier: MIT
// The manual page renders without warnings and documents every command of the table.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "command_table.h"
#include "ctl_process.h"

namespace karvel::ctl {
namespace {

// Returns the words of every tag line (the line after .TP) of the page, font escapes removed.
std::set<std::string> taggedWords(const std::string& page) {
    std::istringstream lines(page);
    std::set<std::string> words;
    bool tag = false;
    for (std::string line; std::getline(lines, line);) {
        if (tag) {
            line = std::regex_replace(line, std::regex(R"(\\f[BIRP]|\\-|\\%|^\.B[IR]?|"|,|\[|\])"), " ");
            std::istringstream split(line);
            for (std::string word; split >> word;) words.insert(word);
        }
        tag = line.starts_with(".TP");
    }
    return words;
}

TEST(KarvelctlManPage, TagsEveryCommandOfTheTable) {
    const std::set<std::string> words = taggedWords(test_support::readFile(KARVELCTL_MAN_PAGE));
    for (const Command& command : commandTable())
        EXPECT_TRUE(words.count(std::string(command.name))) << command.name << " has no entry of its own";
}

using Renderer = std::vector<std::string>;

class KarvelctlManPageRenders : public ::testing::TestWithParam<Renderer> {};

TEST_P(KarvelctlManPageRenders, WithoutWarnings) {
    std::vector<std::string> argv = GetParam();
    argv.push_back(KARVELCTL_MAN_PAGE);
    const test::ProcessResult result = test::runProcess(argv, {{"MANWIDTH", "80"}, {"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(std::make_tuple(result.exitCode, result.err), std::make_tuple(0, std::string()));
    if (argv[0] == "/usr/bin/man") {
        EXPECT_NE(result.out.find("KARVELCTL(1)"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("firmware download FILE --yes"), std::string::npos) << result.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, KarvelctlManPageRenders,
                         ::testing::Values(Renderer{"/usr/bin/groff", "-man", "-ww", "-z"}, Renderer{"/usr/bin/man", "-l"}),
                         [](const auto& testInfo) { return testInfo.index == 0 ? "Groff" : "ManL"; });

}  // namespace
}  // namespace karvel::ctl
