// SPDX-License-Identifier: MIT
// karvelctl against the real mtx on tgt's SMC changer (volume tags from its barcodes): a fresh
// changer for mtx through the SG_IO shim, then a fresh one for karvelctl, each after the same
// preparation; the same stdout, stderr (karvelctl's decoded lines aside) and success, and the
// same status afterwards. Needs root for tgtd; fails when tgtd cannot start.
#include <gtest/gtest.h>

#include <tuple>

#include "mtx_oracle.h"
#include "tgt_oracle_changer.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
// what, karvelctl commands run first, the command line after -f
using Case = std::tuple<const char*, std::vector<Words>, Words>;

struct Outcome {
    ProcessResult result;
    std::string statusAfter;
};

class MtxOracleTgt : public testing::TestWithParam<Case> {
protected:
    // Runs words on a fresh changer after before, with mtx or with karvelctl.
    Outcome runOnFreshChanger(const std::vector<Words>& before, const Words& words, bool withMtx) {
        m_changer.renew(before);
        const std::string device = m_changer.device();
        Outcome outcome;
        outcome.result =
            withMtx ? runProcess(mtxArgv(device, words), shimEnvironment(device, TgtOracleChanger::address()))
                    : m_changer.karvelctl(words);
        outcome.statusAfter = m_changer.karvelctl({"status"}).out;
        return outcome;
    }

private:
    TgtOracleChanger m_changer;
};

TEST_P(MtxOracleTgt, KarvelctlDoesWhatMtxDoes) {
    const auto& [what, before, words] = GetParam();
    const Outcome mtx = runOnFreshChanger(before, words, true);
    const Outcome ours = runOnFreshChanger(before, words, false);
    EXPECT_EQ(ours.result.out, mtx.result.out) << what;
    EXPECT_EQ(withoutDecodedLines(ours.result.err), mtx.result.err) << what;
    EXPECT_EQ(ours.result.exitCode == 0, mtx.result.exitCode == 0)
        << what << ": mtx " << mtx.result.exitCode << ", karvelctl " << ours.result.exitCode;
    EXPECT_EQ(ours.statusAfter, mtx.statusAfter) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MtxOracleTgt,
    testing::Values(Case{"status with tags", {}, {"status"}},
                    Case{"status of loaded drives", {{"load", "1", "0"}, {"load", "3", "1"}}, {"status"}},
                    Case{"nobarcode status", {}, {"nobarcode", "status"}},
                    Case{"inquiry", {}, {"inquiry"}},
                    Case{"load", {}, {"load", "2", "1"}},
                    Case{"load from an empty slot", {}, {"load", "6", "0"}},
                    Case{"load into a full drive", {{"load", "1", "0"}}, {"load", "2", "0"}},
                    Case{"unload", {{"load", "2", "0"}}, {"unload"}},
                    Case{"unload into a full slot", {{"load", "2", "0"}}, {"unload", "3", "0"}},
                    Case{"transfer", {}, {"transfer", "1", "8"}},
                    Case{"transfer onto a full slot", {}, {"transfer", "1", "2"}},
                    Case{"refused positioning", {}, {"position", "2"}},
                    Case{"several commands", {}, {"inquiry", "status"}}));

}  // namespace
