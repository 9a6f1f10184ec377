// SPDX-License-Identifier: MIT
// --help for the program and for every command in the table, answered without a changer.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "exit_codes.h"
#include "karvelctl.h"

using namespace karvel::ctl;

namespace {

// An opener that must not be called: help needs no changer.
std::unique_ptr<ChangerSession> noChanger(const GlobalOptions&, OpenFailure& failure) {
    ADD_FAILURE() << "help opened the changer";
    failure = OpenFailure{kExitNoChanger, "no changer in this test"};
    return nullptr;
}

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exitCode = runKarvelctl(args, out, err, false, noChanger);
    return Outcome{exitCode, out.str(), err.str()};
}

TEST(CommandHelp, EveryCommandHasItsHelp) {
    for (const Command& command : commandTable()) {
        const std::string name(command.name);
        const std::string usage = "usage: karvelctl [-f ADDRESS] " + std::string(command.usage) + "\n";
        EXPECT_FALSE(command.summary.empty()) << name;
        EXPECT_FALSE(command.help.empty()) << name;
        using Form = std::vector<std::string>;
        for (const Form& form : {Form{name, "--help"}, Form{"--help", name}, Form{"-f", "0:1:0", name, "1", "--help"}}) {
            const Outcome result = run(form);
            EXPECT_EQ(result.exitCode, kExitSuccess) << name;
            EXPECT_EQ(result.out.substr(0, usage.size()), usage) << name;
            EXPECT_NE(result.out.find(std::string(command.help)), std::string::npos) << name;
            EXPECT_EQ(result.err, "") << name;
            std::istringstream lines(result.out);
            for (std::string text; std::getline(lines, text);)
                EXPECT_LE(text.size(), 80u) << name << ": " << text;
        }
    }
}

TEST(CommandHelp, TheOverviewListsEveryCommandAndTheExitCodes) {
    for (const std::vector<std::string>& form : {std::vector<std::string>{"--help"}, std::vector<std::string>{"-h"}}) {
        const Outcome result = run(form);
        EXPECT_EQ(result.exitCode, kExitSuccess);
        EXPECT_EQ(result.err, "");
        for (const Command& command : commandTable()) {
            // Its summary follows on the line, or on the next one for a long usage.
            const std::string line = "\n  " + std::string(command.usage);
            EXPECT_TRUE(result.out.find(line + " ") != std::string::npos ||
                        result.out.find(line + "\n ") != std::string::npos)
                << command.name;
        }
        std::istringstream lines(result.out);
        for (std::string text; std::getline(lines, text);)
            EXPECT_LE(text.size(), 80u) << text;
        for (const char* code : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "})
            EXPECT_NE(result.out.find(code), std::string::npos) << code;
    }
}

using Usage = std::tuple<std::vector<std::string>, std::string>;  // arguments, stderr

class UsageError : public testing::TestWithParam<Usage> {};

TEST_P(UsageError, ExitsWithTheUsageCode) {
    const auto& [args, message] = GetParam();
    const Outcome result = run(args);
    EXPECT_EQ(result.exitCode, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, message);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageError,
    testing::Values(
        Usage{{"--verbose", "status"},
              "karvelctl: unknown option '--verbose'\nusage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n"},
        Usage{{"-f", "0:0:0", "-f", "0:0:1", "status"},
              "karvelctl: -f given twice\nusage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n"},
        Usage{{"-f", "0:0:0"}, "karvelctl: no command given\nusage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n"
                               "Try 'karvelctl --help'.\n"},
        Usage{{"STATUS"}, "karvelctl: unknown command 'STATUS'\nTry 'karvelctl --help'.\n"},
        Usage{{"st\x1b]0;x\x07" + std::string(50, 'u')},
              "karvelctl: unknown command 'st\\x1b]0;x\\x07" + std::string(32, 'u') + "...'\nTry 'karvelctl --help'.\n"},
        Usage{{"inquiry", "1"}, "karvelctl: inquiry: too many arguments\nusage: karvelctl [-f ADDRESS] inquiry\n"},
        Usage{{"list", "--all"}, "karvelctl: list: unknown option '--all'\nusage: karvelctl [-f ADDRESS] list\n"}));

}  // namespace
