// SPDX-License-Identifier: MIT
// Bacula's own changer script, mtx-changer from the bacula-sd package, driving the simulated
// jukebox with mtx (through the SG_IO shim) and with karvelctl in mtx's place: the same output
// and outcome at every step, and a load that meets one Not Ready succeeds through the
// script's own retry.
//
// (See bacula_script.h for what is changed in the script.)
#include <gtest/gtest.h>

#include <tuple>

#include "bacula_script.h"
#include "mtx_oracle.h"
#include "sim/sim_state.h"
#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
// what, jukebox options, karvelctl commands run first, faults then, the script's arguments after
// the changer device
using Case = std::tuple<const char*, std::string, std::vector<Words>, std::vector<aspi::sim::Fault>, Words>;

class BaculaScript : public testing::TestWithParam<Case> {};

TEST_P(BaculaScript, GivesWhatItGivesWithMtx) {
    const auto& [what, options, before, faults, args] = GetParam();
    SimJukebox forMtx(options);
    SimJukebox forKarvelctl(options);
    const std::string device = forMtx.directory() + "/sg9";
    writeAddressFile(device, "0:0:0");
    installBaculaScript(forMtx.directory(), MTX_PROGRAM);
    installBaculaScript(forKarvelctl.directory(), KARVELCTL_PROGRAM);
    ASSERT_NO_FATAL_FAILURE(prepareAlike({&forMtx, &forKarvelctl}, before, faults)) << what;
    const auto run = [&](const SimJukebox& jukebox, const Environment& env) {
        return jukebox.runProgram(baculaScriptArgv(jukebox.directory(), device, args),
                                  withBaculaPath(jukebox.directory(), env));
    };
    const ProcessResult mtx = run(forMtx, shimEnvironment(device, "0:0:0"));
    const ProcessResult ours = run(forKarvelctl, {});

    // The script passes the command's stderr on to its stdout.
    EXPECT_EQ(withoutDecodedLines(ours.out), mtx.out) << what;
    EXPECT_EQ(withoutDecodedLines(ours.err), mtx.err) << what;
    EXPECT_EQ(ours.exitCode, mtx.exitCode) << what << "\n" << ours.out << ours.err;
    EXPECT_EQ(discPlaces(forKarvelctl.state()), discPlaces(forMtx.state())) << what;
}

constexpr const char* kJukebox = "slots=10 drives=2 ports=1 full=1-3,7";
const aspi::sim::Fault kNotReadyOnce{.key = 2, .asc = 0x04, .ascq = 0x01, .opcode = 0xA5};

INSTANTIATE_TEST_SUITE_P(
    Steps, BaculaScript,
    testing::Values(Case{"slots", kJukebox, {}, {}, {"slots"}},
                    Case{"list", kJukebox, {{"load", "2", "1"}}, {}, {"list"}},
                    Case{"listall", kJukebox, {{"load", "2", "1"}}, {}, {"listall"}},
                    Case{"loaded of a loaded drive", kJukebox, {{"load", "7"}}, {}, {"loaded", "0", "/dev/null", "0"}},
                    Case{"loaded of an empty drive", kJukebox, {}, {}, {"loaded", "0", "/dev/null", "1"}},
                    Case{"load", kJukebox, {}, {}, {"load", "3", "/dev/null", "1"}},
                    Case{"load into a full drive", kJukebox, {{"load", "1"}}, {}, {"load", "3", "/dev/null", "0"}},
                    Case{"load from an empty slot", kJukebox, {}, {}, {"load", "5", "/dev/null", "0"}},
                    Case{"load through one Not Ready", kJukebox, {}, {kNotReadyOnce}, {"load", "2", "/dev/null", "0"}},
                    Case{"unload", kJukebox, {{"load", "2"}}, {}, {"unload", "2", "/dev/null", "0"}},
                    Case{"unload into a full slot", kJukebox, {{"load", "2"}}, {}, {"unload", "3", "/dev/null", "0"}},
                    Case{"unload through one Not Ready", kJukebox, {{"load", "2", "1"}}, {kNotReadyOnce},
                         {"unload", "2", "/dev/null", "1"}},
                    Case{"transfer", kJukebox, {}, {}, {"transfer", "1", "5"}},
                    Case{"transfer onto a full slot", kJukebox, {}, {}, {"transfer", "1", "2"}}));

// The retry is the script's: karvelctl's first attempt fails with mtx's "Error Code=" line.
TEST(BaculaScriptRetry, ALoadMeetingOneNotReadySucceeds) {
    SimJukebox jukebox(kJukebox);
    installBaculaScript(jukebox.directory(), KARVELCTL_PROGRAM);
    jukebox.edit([](aspi::sim::JukeboxState& state) { state.faults = {kNotReadyOnce}; });
    const ProcessResult result =
        jukebox.runProgram(baculaScriptArgv(jukebox.directory(), "0:0:0", {"load", "2", "/dev/null", "0"}),
                           withBaculaPath(jukebox.directory(), {}));
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(discPlaces(jukebox.state()), "slot 1=1 slot 3=3 slot 7=7 drive 0=2");
    EXPECT_TRUE(jukebox.state().faults.empty());
}

}  // namespace
