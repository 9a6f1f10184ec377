// SPDX-License-Identifier: MIT
// karvelctl against the real mtx on the simulated jukebox (no volume tags): two jukeboxes in
// the same state, mtx on one through the SG_IO shim, karvelctl on the other; the same stdout,
// the same stderr (karvelctl's decoded lines aside), success or failure alike, and the discs
// where mtx left them.
#include <gtest/gtest.h>

#include <tuple>

#include "mtx_oracle.h"
#include "sim/sim_state.h"
#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
using Faults = std::vector<aspi::sim::Fault>;
// what, jukebox options, karvelctl commands run on both jukeboxes first, faults injected then,
// the command line after -f
using Case = std::tuple<const char*, std::string, std::vector<Words>, Faults, Words>;

class MtxOracleSim : public testing::TestWithParam<Case> {};

TEST_P(MtxOracleSim, KarvelctlDoesWhatMtxDoes) {
    const auto& [what, options, before, faults, words] = GetParam();
    SimJukebox forMtx(options);
    SimJukebox forKarvelctl(options);
    ASSERT_NO_FATAL_FAILURE(prepareAlike({&forMtx, &forKarvelctl}, before, faults)) << what;
    // One placeholder names the changer for both, so both status texts name it alike: mtx
    // opens it as its device, karvelctl reads the address in it (0:0:0 of its own layer).
    const std::string device = forMtx.directory() + "/sg9";
    writeAddressFile(device, "0:0:0");
    const ProcessResult mtx = forMtx.runProgram(mtxArgv(device, words), shimEnvironment(device, "0:0:0"));
    Words karvelctlWords = {"-f", device};
    karvelctlWords.insert(karvelctlWords.end(), words.begin(), words.end());
    const ProcessResult ours = forKarvelctl.run(karvelctlWords);

    EXPECT_EQ(ours.out, mtx.out) << what;
    EXPECT_EQ(withoutDecodedLines(ours.err), mtx.err) << what;
    EXPECT_EQ(ours.exitCode == 0, mtx.exitCode == 0) << what << ": mtx " << mtx.exitCode << ", karvelctl "
                                                      << ours.exitCode << "\n" << ours.err;
    EXPECT_EQ(discPlaces(forKarvelctl.state()), discPlaces(forMtx.state())) << what;
}

constexpr const char* kJukebox = "slots=10 drives=2 ports=1 full=1-3";
constexpr const char* kLoaded = "slots=10 drives=2 ports=1 full=2,4,9";
constexpr const char* kEmpty = "slots=10 drives=2 ports=1 full=none";
constexpr const char* kFull = "slots=4 drives=1 ports=0 full=1-4";
const aspi::sim::Fault kNotReadyOnMove{.key = 2, .asc = 0x04, .ascq = 0x03, .opcode = 0xA5};

INSTANTIATE_TEST_SUITE_P(
    Commands, MtxOracleSim,
    testing::Values(
        Case{"status", kJukebox, {}, {}, {"status"}},
        Case{"status of an empty jukebox", kEmpty, {}, {}, {"status"}},
        Case{"status of a full jukebox", kFull, {}, {}, {"status"}},
        Case{"nobarcode status", kJukebox, {}, {}, {"nobarcode", "status"}},
        Case{"altres noattach status", kJukebox, {}, {}, {"altres", "noattach", "status"}},
        Case{"inquiry", kJukebox, {}, {}, {"inquiry"}},
        Case{"load", kJukebox, {}, {}, {"load", "2", "1"}},
        Case{"load from an empty slot", kJukebox, {}, {}, {"load", "5", "0"}},
        Case{"load from the import/export port", kJukebox, {}, {}, {"load", "11"}},
        Case{"load into a full drive", kJukebox, {{"load", "1", "0"}}, {}, {"load", "2", "0"}},
        Case{"load then status", kJukebox, {}, {}, {"load", "1", "0", "status"}},
        Case{"load 1x reads 1", kJukebox, {}, {}, {"load", "1x", "0"}},
        Case{"invert load", kJukebox, {}, {}, {"invert", "load", "1", "1"}},
        Case{"unload to the source", kJukebox, {{"load", "3"}}, {}, {"unload"}},
        Case{"unload to a slot", kJukebox, {{"load", "3", "1"}}, {}, {"unload", "7", "1"}},
        Case{"unload an empty drive", kJukebox, {}, {}, {"unload", "4", "1"}},
        Case{"unload into a full slot", kJukebox, {{"load", "1"}}, {}, {"unload", "2"}},
        Case{"transfer", kJukebox, {}, {}, {"transfer", "1", "5"}},
        Case{"transfer from an empty slot", kJukebox, {}, {}, {"transfer", "6", "7"}},
        Case{"transfer onto a full slot", kJukebox, {}, {}, {"transfer", "1", "2"}},
        Case{"eepos transfer", kJukebox, {}, {}, {"eepos", "1", "transfer", "2", "8"}},
        Case{"exchange", kJukebox, {}, {}, {"exchange", "1", "5"}},
        Case{"exchange of three", kJukebox, {}, {}, {"exchange", "1", "2", "6"}},
        Case{"invert invert2 exchange", kJukebox, {}, {}, {"invert", "invert2", "exchange", "1", "2"}},
        Case{"position", kJukebox, {}, {}, {"position", "3"}},
        Case{"inventory", kJukebox, {}, {}, {"inventory"}},
        Case{"first with a loaded drive", kLoaded, {{"load", "4"}}, {}, {"first"}},
        Case{"last", kLoaded, {}, {}, {"last", "1"}},
        Case{"next on an empty drive", kLoaded, {}, {}, {"next"}},
        Case{"next after a load", kLoaded, {{"load", "4"}}, {}, {"next"}},
        Case{"next after the last", kLoaded, {{"load", "9"}}, {}, {"next"}},
        Case{"previous on an empty drive", kLoaded, {}, {}, {"previous"}},
        Case{"previous before the first", kLoaded, {{"load", "2"}}, {}, {"previous"}},
        Case{"next with no media", kEmpty, {}, {}, {"next"}},
        Case{"not ready on a load", kJukebox, {}, {kNotReadyOnMove}, {"load", "1", "0"}},
        Case{"hardware error on exchange", kJukebox, {}, {{.key = 4, .asc = 0x15, .ascq = 0x01, .opcode = 0xA6}},
             {"exchange", "1", "2"}},
        Case{"refused inventory", kJukebox, {}, {{.key = 5, .asc = 0x30, .ascq = 0x00, .opcode = 0x07}}, {"inventory"}},
        Case{"refused positioning", kJukebox, {}, {{.key = 5, .asc = 0x30, .ascq = 0x00, .opcode = 0x2B}},
             {"position", "1"}},
        Case{"medium not present on a move", kJukebox, {}, {{.key = 2, .asc = 0x3A, .ascq = 0x00, .opcode = 0xA5}},
             {"load", "1", "0"}},
        Case{"not ready on INQUIRY", kJukebox, {}, {{.key = 2, .asc = 0x04, .ascq = 0x01, .opcode = 0x12}}, {"inquiry"}}));

// mtx reports a refused eject and still exits 0; karvelctl reports it alike and exits 1.
TEST(MtxOracleSimDifference, ARefusedEjectFails) {
    SimJukebox forMtx(kJukebox);
    SimJukebox forKarvelctl(kJukebox);
    const std::string device = forMtx.directory() + "/sg9";
    writeAddressFile(device, "0:0:0");
    const ProcessResult mtx = forMtx.runProgram(mtxArgv(device, {"eject"}), shimEnvironment(device, "0:0:0"));
    const ProcessResult ours = forKarvelctl.run({"-f", device, "eject"});
    EXPECT_EQ(ours.out, mtx.out);
    EXPECT_EQ(withoutDecodedLines(ours.err), mtx.err);
    EXPECT_NE(mtx.err.find("mtx:eject failed\n"), std::string::npos) << mtx.err;
    EXPECT_EQ(mtx.exitCode, 0);
    EXPECT_EQ(ours.exitCode, 1);
}

}  // namespace
