// SPDX-License-Identifier: MIT
// A long command shows that it works on a terminal, erases that line at its end, and writes
// nothing of it when its output goes to a pipe.
#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
using Case = std::tuple<Words, std::string, std::string>;  // command, its progress text, mtx's words after it

class Progress : public testing::TestWithParam<Case> {};

TEST_P(Progress, ShownOnATerminalOnly) {
    const auto& [command, text, printed] = GetParam();
    SimJukebox onTerminal("slots=4 drives=1 ports=1 full=1-2 move_ms=300 init_ms=300");
    ProcessResult shown = onTerminal.run(command, true);
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    // mtx's words come after the erased line.
    ASSERT_TRUE(shown.out.ends_with(printed)) << shown.out;
    shown.out.resize(shown.out.size() - printed.size());
    const std::string first = "\r" + text + " ... 0 s";
    ASSERT_EQ(shown.out.substr(0, first.size()), first) << shown.out;
    // The end: back to the line's start, blanks over all of it, back again.
    ASSERT_EQ(shown.out.back(), '\r') << shown.out;
    const size_t lineStart = shown.out.rfind('\r', shown.out.size() - 2);
    ASSERT_NE(lineStart, std::string::npos) << shown.out;
    const std::string blanks = shown.out.substr(lineStart + 1, shown.out.size() - lineStart - 2);
    EXPECT_GE(blanks.size(), first.size() - 1) << shown.out;
    EXPECT_EQ(blanks.find_first_not_of(' '), std::string::npos) << shown.out;

    SimJukebox piped("slots=4 drives=1 ports=1 full=1-2 move_ms=300 init_ms=300");
    const ProcessResult silent = piped.run(command, false);
    EXPECT_EQ(silent.exitCode, 0) << silent.err;
    EXPECT_EQ(silent.out, printed);
}

INSTANTIATE_TEST_SUITE_P(
    LongCommands, Progress,
    testing::Values(Case{{"load", "1"}, "Loading Storage Element 1 into Data Transfer Element 0",
                         "Loading media from Storage Element 1 into drive 0...done\n"},
                    Case{{"transfer", "2", "4"}, "Moving Storage Element 2 to Storage Element 4", ""},
                    Case{{"exchange", "1", "2"}, "Exchanging Storage Element 1 and Storage Element 2", ""},
                    Case{{"inventory"}, "Taking inventory", ""}));

}  // namespace
