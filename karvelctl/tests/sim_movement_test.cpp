// SPDX-License-Identifier: MIT
// Every movement command on the simulated jukebox, with its effect on where the discs are
// and on what status then prints.
#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
// what, commands run first, the command, where the discs are after it, lines status then prints,
// what the command prints (mtx's words for loads and unloads)
using Case = std::tuple<const char*, std::vector<Words>, Words, std::string, std::vector<std::string>, std::string>;

// Four slots (discs 1, 2 and 4 in slots 1, 2 and 4), two drives, one port.
constexpr const char* kJukebox = "slots=4 drives=2 ports=1 full=1,2,4";

class SimMovement : public testing::TestWithParam<Case> {};

TEST_P(SimMovement, MovesTheDiscs) {
    const auto& [what, before, command, places, lines, printed] = GetParam();
    SimJukebox jukebox(kJukebox);
    for (const Words& words : before) {
        const ProcessResult prepared = jukebox.run(words);
        ASSERT_EQ(prepared.exitCode, 0) << what << ": " << prepared.err;
    }
    const ProcessResult result = jukebox.run(command);
    EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
    EXPECT_EQ(result.out, printed) << what;
    EXPECT_EQ(result.err, "") << what;
    EXPECT_EQ(discPlaces(jukebox.state()), places) << what;
    const std::string status = jukebox.status();
    for (const std::string& line : lines)
        EXPECT_NE(status.find(line + "\n"), std::string::npos) << what << ": " << line << "\n" << status;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SimMovement,
    testing::Values(
        Case{"load into drive 0", {}, {"load", "2"}, "slot 1=1 slot 4=4 drive 0=2",
             {"Data Transfer Element 0:Full (Storage Element 2 Loaded)", "      Storage Element 2:Empty"}, "Loading media from Storage Element 2 into drive 0...done\n"},
        Case{"load into drive 1", {}, {"load", "4", "1"}, "slot 1=1 slot 2=2 drive 1=4",
             {"Data Transfer Element 0:Empty", "Data Transfer Element 1:Full (Storage Element 4 Loaded)"}, "Loading media from Storage Element 4 into drive 1...done\n"},
        Case{"unload of drive 1 into a slot named", {{"load", "2", "1"}}, {"unload", "2", "1"},
             "slot 1=1 slot 2=2 slot 4=4", {"Data Transfer Element 1:Empty", "      Storage Element 2:Full "}, "Unloading drive 1 into Storage Element 2...done\n"},
        Case{"unload without a slot", {{"load", "4"}}, {"unload"}, "slot 1=1 slot 2=2 slot 4=4",
             {"Data Transfer Element 0:Empty", "      Storage Element 4:Full "}, "Unloading drive 0 into Storage Element 4...done\n"},
        Case{"unload into a slot named", {{"load", "1"}}, {"unload", "3"}, "slot 2=2 slot 3=1 slot 4=4",
             {"Data Transfer Element 0:Empty", "      Storage Element 1:Empty", "      Storage Element 3:Full "}, "Unloading drive 0 into Storage Element 3...done\n"},
        Case{"unload into the import/export port", {{"load", "1"}}, {"unload", "5", "0"},
             "slot 2=2 slot 4=4 port 0=1", {"      Storage Element 5 IMPORT/EXPORT:Full "}, "Unloading drive 0 into Storage Element 5...done\n"},
        Case{"transfer between slots", {}, {"transfer", "1", "3"}, "slot 2=2 slot 3=1 slot 4=4",
             {"      Storage Element 1:Empty", "      Storage Element 3:Full "}, ""},
        Case{"exchange two slots", {}, {"exchange", "1", "2"}, "slot 1=2 slot 2=1 slot 4=4",
             {"      Storage Element 1:Full ", "      Storage Element 2:Full "}, ""},
        Case{"exchange into a third slot", {}, {"exchange", "1", "2", "3"}, "slot 2=1 slot 3=2 slot 4=4",
             {"      Storage Element 1:Empty", "      Storage Element 3:Full "}, ""},
        Case{"position at the port: the operator puts a disc there", {}, {"position", "5"},
             "slot 1=1 slot 2=2 slot 4=4 port 0=5", {"      Storage Element 5 IMPORT/EXPORT:Full "}, ""},
        Case{"first loads slot 1", {}, {"first"}, "slot 2=2 slot 4=4 drive 0=1",
             {"Data Transfer Element 0:Full (Storage Element 1 Loaded)"}, "Loading media from Storage Element 1 into drive 0...done\n"},
        Case{"first sends a loaded disc home first", {{"load", "4"}}, {"first"}, "slot 2=2 slot 4=4 drive 0=1",
             {"Data Transfer Element 0:Full (Storage Element 1 Loaded)", "      Storage Element 4:Full "}, "Unloading drive 0 into Storage Element 4...done\nLoading media from Storage Element 1 into drive 0...done\n"},
        Case{"last loads the last storage slot into drive 1", {}, {"last", "1"}, "slot 1=1 slot 2=2 drive 1=4",
             {"Data Transfer Element 1:Full (Storage Element 4 Loaded)"}, "Loading media from Storage Element 4 into drive 1...done\n"},
        Case{"last with the last disc loaded sends it home and loads it again", {{"load", "4"}}, {"last"},
             "slot 1=1 slot 2=2 drive 0=4", {"Data Transfer Element 0:Full (Storage Element 4 Loaded)"}, "Unloading drive 0 into Storage Element 4...done\nLoading media from Storage Element 4 into drive 0...done\n"},
        Case{"next skips the empty slot", {{"load", "2"}}, {"next"}, "slot 1=1 slot 2=2 drive 0=4",
             {"Data Transfer Element 0:Full (Storage Element 4 Loaded)", "      Storage Element 2:Full "}, "Unloading drive 0 into Storage Element 2...done\nLoading media from Storage Element 4 into drive 0...done\n"},
        Case{"previous", {{"load", "2", "1"}}, {"previous", "1"}, "slot 2=2 slot 4=4 drive 1=1",
             {"Data Transfer Element 1:Full (Storage Element 1 Loaded)"}, "Unloading drive 1 into Storage Element 2...done\nLoading media from Storage Element 1 into drive 1...done\n"}));

TEST(SimInventory, MakesTheRecordsTrueAgain) {
    SimJukebox jukebox(kJukebox);
    jukebox.edit([](aspi::sim::JukeboxState& s) { s.records.assign(s.records.size(), false); });
    EXPECT_EQ(jukebox.status().find("Full"), std::string::npos);

    const ProcessResult result = jukebox.run({"inventory"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    const std::string status = jukebox.status();
    for (const char* line : {"      Storage Element 1:Full \n", "      Storage Element 2:Full \n",
                             "      Storage Element 3:Empty\n", "      Storage Element 4:Full \n"})
        EXPECT_NE(status.find(line), std::string::npos) << line << status;
}

}  // namespace
