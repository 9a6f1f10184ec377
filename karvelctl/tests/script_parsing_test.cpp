// SPDX-License-Identifier: MIT
// Backup software parses the status text with grep, awk and sed (Bacula's mtx-changer: slots,
// list, loaded); those very pipelines must get the right answers from ours.
#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

const std::string kStatus = "karvelctl -f 0:0:0 status";
const std::string kSlots = kStatus + " | grep \" *Storage Changer\" | awk '{print $5}'";
const std::string kList = kStatus + " | grep \" *Storage Element [0-9]*:.*Full\" | awk '{print $3 $4}' | sed \"s/Full *\\(:VolumeTag=\\)*//\"";
const std::string kLoaded = kStatus + " | grep \"^Data Transfer Element 0:Full\" | awk '{print $7}'";
const std::string kLoadedEmpty = kStatus + " | grep \"^Data Transfer Element 0:Empty\" | awk '{print 0}'";

using Words = std::vector<std::string>;
using Case = std::tuple<const char*, std::string, std::vector<Words>, std::string, std::string>;  // what, options, before, script, answer

class BaculaParsing : public testing::TestWithParam<Case> {};

TEST_P(BaculaParsing, GetsTheRightAnswer) {
    const auto& [what, options, before, script, answer] = GetParam();
    SimJukebox jukebox(options);
    for (const Words& words : before)
        ASSERT_EQ(jukebox.run(words).exitCode, 0) << what;
    const ProcessResult result = jukebox.shell(script);
    EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
    EXPECT_EQ(result.out, answer) << what;
}

constexpr const char* kJukebox = "slots=10 drives=2 ports=1 full=1-3,7";

INSTANTIATE_TEST_SUITE_P(
    Pipelines, BaculaParsing,
    testing::Values(Case{"slots counts the import/export port", kJukebox, {}, kSlots, "11\n"},
                    Case{"list names the full slots", kJukebox, {{"load", "2", "1"}}, kList, "1:\n3:\n7:\n"},
                    Case{"loaded names the slot of drive 0", kJukebox, {{"load", "7"}}, kLoaded, "7\n"},
                    Case{"loaded prints nothing for an empty drive 0", kJukebox, {{"load", "7", "1"}}, kLoaded, ""},
                    Case{"an empty drive 0 reads as 0", kJukebox, {}, kLoadedEmpty, "0\n"},
                    Case{"a loaded drive 0 is not read as empty", kJukebox, {{"load", "1"}}, kLoadedEmpty, ""}));

}  // namespace
