// SPDX-License-Identifier: MIT
// Without -f and with no changer to be found: one line saying where karvelctl looked, exit 3;
// and a configuration file named by ASPI32_CONFIG that does not exist is an error naming it.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "ctl_process.h"
#include "exit_codes.h"

using namespace karvel::ctl;
using namespace karvel::ctl::test;

namespace {

// what, the user's wnaspi32.conf (none when absent), the start of stderr (DIR is the scratch
// directory)
using Case = std::tuple<const char*, std::optional<std::string>, std::string>;

class NoChanger : public testing::TestWithParam<Case> {};

TEST_P(NoChanger, SaysWhereItLooked) {
    const auto& [what, config, expected] = GetParam();
    const karvel::test_support::ScratchDir scratch;
    const std::string& directory = scratch.root();
    if (config)
        scratch.write("wnaspi32.conf", *config);
    // A profile naming a target that holds no changer: the fallback is no changer either.
    scratch.write("karvel.INI", "[JukeBox Default]\nHost=0\nScsiId=5\nLun=0\n");
    const ProcessResult result = runProcess({KARVELCTL_PROGRAM, "status"},
                                             {{"ASPI32_CONFIG", ""}, {"CHANGER", ""}, {"XDG_CONFIG_HOME", directory},
                                              {"HOME", directory}});
    std::string wanted = expected;
    wanted.replace(wanted.find("DIR"), 3, directory);
    EXPECT_EQ(result.exitCode, kExitNoChanger) << what;
    EXPECT_EQ(result.err.substr(0, wanted.size()), wanted) << what << "\n" << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << ": one line\n" << result.err;
    EXPECT_EQ(result.out, "") << what;
}

INSTANTIATE_TEST_SUITE_P(
    Scans, NoChanger,
    testing::Values(Case{"a configuration without adapters", "# nothing here\n",
                         "karvelctl: no changer found on the 0 host adapters of DIR/wnaspi32.conf\n"},
                    Case{"no configuration file: the sg default", std::nullopt,
                         "karvelctl: no changer found: there is no DIR/wnaspi32.conf, and "}));

TEST(MissingConfiguration, NamedByAspi32ConfigIsAnError) {
    const karvel::test_support::ScratchDir scratch;
    const std::string& directory = scratch.root();
    const ProcessResult result =
        runProcess({KARVELCTL_PROGRAM, "status"}, {{"ASPI32_CONFIG", directory + "/typo.conf"}, {"HOME", directory}});
    EXPECT_EQ(result.exitCode, kExitNoChanger);
    EXPECT_NE(result.err.find("wnaspi32: " + directory + "/typo.conf: no such file (named by ASPI32_CONFIG)\n"),
              std::string::npos)
        << result.err;
}

}  // namespace
