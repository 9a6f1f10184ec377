// SPDX-License-Identifier: MIT
// Amanda's own changer, chg-robot (Amanda::Changer::robot from the amanda-server package, on the
// Perl modules and libraries of amanda-common, unpacked and run in place by amanda_changer.pl),
// driving the simulated jukebox with mtx (through the SG_IO shim) and with karvelctl in mtx's
// place: the same inventory, loads and unloads, the same refusals in mtx's words, the discs in
// the same places, and an inventory that meets one Not Ready succeeds through chg-robot's own
// retry (it runs mtx status again while it sees "Sense Key=Not Ready").
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "mtx_oracle.h"
#include "sim/sim_state.h"
#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

namespace fs = std::filesystem;

// Amanda's private library folder in the unpacked tree (its path holds the architecture).
std::string amandaLibraryFolder() {
    const fs::path lib = fs::path(KARVEL_BACKUP_SCRIPTS) / "amanda/usr/lib";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(lib, error))
        if (fs::exists(entry.path() / "amanda/perl/Amanda/Changer/robot.pm"))
            return (entry.path() / "amanda").string();
    return {};
}

// Runs the driver with program as chg-robot's mtx on device, on jukebox, with env added.
ProcessResult runChanger(const SimJukebox& jukebox, const std::string& device, const std::string& program,
                         const std::vector<std::string>& actions, Environment env) {
    const std::string amanda = amandaLibraryFolder();
    EXPECT_FALSE(amanda.empty()) << "no chg-robot unpacked under " << KARVEL_BACKUP_SCRIPTS;
    env.emplace_back("PERL5LIB", amanda + "/perl");
    env.emplace_back("LD_LIBRARY_PATH", amanda);
    std::vector<std::string> argv = {"/usr/bin/perl", AMANDA_CHANGER_DRIVER, jukebox.directory(), device, program};
    argv.insert(argv.end(), actions.begin(), actions.end());
    return jukebox.runProgram(argv, env);
}

using Words = std::vector<std::string>;
// what, karvelctl commands run first, faults then, the driver's actions
using Case = std::tuple<const char*, std::vector<Words>, std::vector<aspi::sim::Fault>, Words>;

class AmandaChanger : public testing::TestWithParam<Case> {};

TEST_P(AmandaChanger, DoesWhatItDoesWithMtx) {
    const auto& [what, before, faults, actions] = GetParam();
    constexpr const char* kJukebox = "slots=10 drives=2 ports=1 full=1-3,7";
    SimJukebox forMtx(kJukebox);
    SimJukebox forKarvelctl(kJukebox);
    // chg-robot insists that its device is an existing file: an address file for each.
    const std::string mtxDevice = forMtx.directory() + "/sg9";
    const std::string ourDevice = forKarvelctl.directory() + "/changer";
    writeAddressFile(mtxDevice, "0:0:0");
    writeAddressFile(ourDevice, "0:0:0");
    ASSERT_NO_FATAL_FAILURE(prepareAlike({&forMtx, &forKarvelctl}, before, faults)) << what;
    const ProcessResult mtx = runChanger(forMtx, mtxDevice, MTX_PROGRAM, actions, shimEnvironment(mtxDevice, "0:0:0"));
    const ProcessResult ours = runChanger(forKarvelctl, ourDevice, KARVELCTL_PROGRAM, actions, {});

    ASSERT_EQ(mtx.exitCode, 0) << what << "\n" << mtx.out << mtx.err;
    // A refusal carries mtx's output in chg-robot's message: karvelctl's indented lines aside.
    EXPECT_EQ(withoutDecodedLines(ours.out), mtx.out) << what;
    EXPECT_EQ(ours.err, mtx.err) << what;
    EXPECT_EQ(ours.exitCode, mtx.exitCode) << what;
    EXPECT_EQ(discPlaces(forKarvelctl.state()), discPlaces(forMtx.state())) << what;
    EXPECT_TRUE(forMtx.state().faults.empty()) << what;
    EXPECT_TRUE(forKarvelctl.state().faults.empty()) << what;
}

// Both programs' status asks for the element status with volume tags, and on a failure once
// more without: two hits make one status fail.
const aspi::sim::Fault kStatusNotReadyOnce{.key = 2, .asc = 0x04, .ascq = 0x01, .opcode = 0xB8, .count = 2};
const aspi::sim::Fault kMoveNotReadyOnce{.key = 2, .asc = 0x04, .ascq = 0x01, .opcode = 0xA5};

// Slots 1-3 and 7 full; chg-robot's one drive is drive 0.
INSTANTIATE_TEST_SUITE_P(
    Steps, AmandaChanger,
    testing::Values(Case{"inventory", {}, {}, {"inventory"}},
                    Case{"inventory of a loaded drive", {{"load", "7", "0"}}, {}, {"inventory"}},
                    Case{"load", {}, {}, {"load", "2", "inventory"}},
                    Case{"load, then unload on release", {}, {}, {"load-eject", "3", "inventory"}},
                    Case{"a load that first unloads the drive", {}, {}, {"load", "2", "load", "7"}},
                    Case{"unload of a disc loaded before", {{"load", "7", "0"}}, {}, {"eject", "0", "inventory"}},
                    Case{"load from an empty slot", {}, {}, {"load", "5"}},
                    Case{"inventory through one Not Ready", {}, {kStatusNotReadyOnce}, {"inventory"}},
                    Case{"a load meeting Not Ready", {}, {kMoveNotReadyOnce}, {"load", "2", "inventory"}}));

// The retry is chg-robot's: karvelctl's first status fails with mtx's "Sense Key=Not Ready" line.
TEST(AmandaChangerRetry, AnInventoryMeetingNotReadySucceeds) {
    SimJukebox jukebox("slots=10 drives=2 ports=1 full=1-3,7");
    const std::string device = jukebox.directory() + "/changer";
    writeAddressFile(device, "0:0:0");
    jukebox.edit([](aspi::sim::JukeboxState& state) { state.faults = {kStatusNotReadyOnce}; });
    const ProcessResult result = runChanger(jukebox, device, KARVELCTL_PROGRAM, {"inventory"}, {});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("inventory: slot 1 full barcode=- loaded_in=- import_export=0\n"))
        << result.out;
    EXPECT_EQ(result.out.find("error"), std::string::npos) << result.out;
    EXPECT_TRUE(jukebox.state().faults.empty());
}

}  // namespace
