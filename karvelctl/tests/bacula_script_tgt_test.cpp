// SPDX-License-Identifier: MIT
// Bacula's own changer script on tgt's SMC changer (volume tags from its barcodes), once with mtx
// and once with karvelctl in mtx's place, each on a fresh changer after the same preparation:
// the same output and outcome at every step, and the same discs in the same places after it.
//
// tgt cannot be told to fail once, so the transient Not Ready comes from the SG_IO shim, which
// both runs preload: its fault file makes the next MOVE MEDIUM end with CHECK CONDITION, Not
// Ready (04h/01h) instead of reaching tgt, for mtx in its SG_IO path and for karvelctl in front
// of SendASPI32Command; the script's own retry then gets through. Needs root for tgtd.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "bacula_script.h"
#include "mtx_oracle.h"
#include "tgt_oracle_changer.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
// what, karvelctl commands run first, whether the next move meets Not Ready, the script's
// arguments after the changer device
using Case = std::tuple<const char*, std::vector<Words>, bool, Words>;

struct Outcome {
    ProcessResult result;
    std::string statusAfter;
    bool faultLeft = false;
};

class BaculaScriptTgt : public testing::TestWithParam<Case> {
protected:
    Outcome runOnFreshChanger(const std::vector<Words>& before, bool notReady, const Words& args,
                              const std::string& program) {
        m_changer.renew(before);
        installBaculaScript(m_changer.directory(), program);
        const std::string fault = m_changer.directory() + "/fault";
        if (notReady)
            std::ofstream(fault) << "a5 2 04 01\n";
        Environment env = shimEnvironment(m_changer.device(), TgtOracleChanger::address());
        env.emplace_back("KARVEL_SG_SHIM_FAULT", fault);
        Outcome outcome;
        outcome.result = runProcess(baculaScriptArgv(m_changer.directory(), m_changer.device(), args),
                                    m_changer.environment(withBaculaPath(m_changer.directory(), env)));
        outcome.statusAfter = m_changer.karvelctl({"status"}).out;
        outcome.faultLeft = std::filesystem::exists(fault);
        return outcome;
    }

private:
    TgtOracleChanger m_changer;
};

TEST_P(BaculaScriptTgt, GivesWhatItGivesWithMtx) {
    const auto& [what, before, notReady, args] = GetParam();
    const Outcome mtx = runOnFreshChanger(before, notReady, args, MTX_PROGRAM);
    const Outcome ours = runOnFreshChanger(before, notReady, args, KARVELCTL_PROGRAM);

    // The script passes the command's stderr on to its stdout.
    EXPECT_EQ(withoutDecodedLines(ours.result.out), mtx.result.out) << what;
    EXPECT_EQ(withoutDecodedLines(ours.result.err), mtx.result.err) << what;
    EXPECT_EQ(ours.result.exitCode, mtx.result.exitCode) << what << "\n" << ours.result.out << ours.result.err;
    EXPECT_EQ(ours.statusAfter, mtx.statusAfter) << what;
    // Both met the fault (the test's own check that the retry was exercised).
    EXPECT_FALSE(mtx.faultLeft) << what;
    EXPECT_FALSE(ours.faultLeft) << what;
}

// Ten slots with discs KARVEL00-02 in the first three, two drives, one port.
INSTANTIATE_TEST_SUITE_P(
    Steps, BaculaScriptTgt,
    testing::Values(Case{"slots", {}, false, {"slots"}},
                    Case{"list", {{"load", "2", "0"}}, false, {"list"}},
                    Case{"listall", {{"load", "2", "0"}, {"load", "3", "1"}}, false, {"listall"}},
                    Case{"loaded of a loaded drive", {{"load", "3", "0"}}, false, {"loaded", "0", "/dev/null", "0"}},
                    Case{"loaded of the last drive", {{"load", "3", "1"}}, false, {"loaded", "0", "/dev/null", "1"}},
                    Case{"loaded of an empty drive", {}, false, {"loaded", "0", "/dev/null", "1"}},
                    Case{"load", {}, false, {"load", "3", "/dev/null", "1"}},
                    Case{"load into a full drive", {{"load", "1", "0"}}, false, {"load", "3", "/dev/null", "0"}},
                    Case{"load from an empty slot", {}, false, {"load", "5", "/dev/null", "0"}},
                    Case{"load through one Not Ready", {}, true, {"load", "2", "/dev/null", "0"}},
                    Case{"unload", {{"load", "2", "0"}}, false, {"unload", "2", "/dev/null", "0"}},
                    Case{"unload into a full slot", {{"load", "2", "0"}}, false, {"unload", "3", "/dev/null", "0"}},
                    Case{"unload through one Not Ready", {{"load", "2", "1"}}, true, {"unload", "2", "/dev/null", "1"}},
                    Case{"transfer", {}, false, {"transfer", "1", "5"}},
                    Case{"transfer onto a full slot", {}, false, {"transfer", "1", "2"}}));

}  // namespace
