// SPDX-License-Identifier: MIT
// Bacula's own changer script, mtx-changer from the bacula-sd package, driving the simulated
// jukebox with mtx (through the SG_IO shim) and with karvelctl in mtx's place: the same output
// and outcome at every step, and a load that meets one Not Ready succeeds through the
// script's own retry.
//
// The script is run as shipped but for its MTX= line and its two fixed paths (its
// configuration /etc/bacula/scripts/mtx-changer.conf and its scratch files under
// /var/lib/bacula), which point into the test's directory. Its wait for the tape drive runs
// `mt`; a stand-in on PATH answers "drive status", which the script takes for ready.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <tuple>

#include "mtx_oracle.h"
#include "sim/sim_state.h"
#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text, bool executable = false) {
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << text;
    }
    if (executable)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

// Puts the script, pointed at program, and its configuration into directory.
void installScript(const std::string& directory, const std::string& program) {
    const std::string shipped = std::string(KARVEL_BACKUP_SCRIPTS) + "/bacula/etc/bacula/scripts/";
    std::string script = readFile(shipped + "mtx-changer");
    ASSERT_FALSE(script.empty()) << "no mtx-changer under " << shipped;
    script = std::regex_replace(script, std::regex("\nMTX=[^\n]*"), "\nMTX=" + program);
    script = std::regex_replace(script, std::regex("/etc/bacula/scripts/mtx-changer.conf"),
                                directory + "/mtx-changer.conf");
    script = std::regex_replace(script, std::regex("/var/lib/bacula"), directory);
    writeFile(directory + "/mtx-changer", script, true);
    writeFile(directory + "/mtx-changer.conf", readFile(shipped + "mtx-changer.conf"));
    std::filesystem::create_directories(directory + "/bin");
    writeFile(directory + "/bin/mt", "#!/bin/sh\necho drive status\n", true);
}

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
    installScript(forMtx.directory(), MTX_PROGRAM);
    installScript(forKarvelctl.directory(), KARVELCTL_PROGRAM);
    for (SimJukebox* jukebox : {&forMtx, &forKarvelctl}) {
        for (const Words& setup : before) {
            Words line = {"-f", "0:0:0"};
            line.insert(line.end(), setup.begin(), setup.end());
            ASSERT_EQ(jukebox->run(line).exitCode, 0) << what;
        }
        jukebox->edit([&](aspi::sim::JukeboxState& state) { state.faults = faults; });
    }
    const auto run = [&](const SimJukebox& jukebox, Environment env) {
        const char* path = std::getenv("PATH");
        env.emplace_back("PATH", jukebox.directory() + "/bin:" + (path ? path : "/usr/bin:/bin"));
        Words argv = {"/bin/sh", jukebox.directory() + "/mtx-changer", device};
        argv.insert(argv.end(), args.begin(), args.end());
        return jukebox.runProgram(argv, env);
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
    installScript(jukebox.directory(), KARVELCTL_PROGRAM);
    jukebox.edit([](aspi::sim::JukeboxState& state) { state.faults = {kNotReadyOnce}; });
    const char* path = std::getenv("PATH");
    const ProcessResult result = jukebox.runProgram(
        {"/bin/sh", jukebox.directory() + "/mtx-changer", "0:0:0", "load", "2", "/dev/null", "0"},
        {{"PATH", jukebox.directory() + "/bin:" + (path ? path : "/usr/bin:/bin")}});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(discPlaces(jukebox.state()), "slot 1=1 slot 3=3 slot 7=7 drive 0=2");
    EXPECT_TRUE(jukebox.state().faults.empty());
}

}  // namespace
