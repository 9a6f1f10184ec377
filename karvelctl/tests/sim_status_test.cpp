// SPDX-License-Identifier: MIT
// `status` and `status --json` on the simulated jukebox: empty, full and loaded elements,
// and the fullness its records report.
#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;
using aspi::sim::Disc;
using aspi::sim::JukeboxState;

namespace {

using Edit = std::function<void(JukeboxState&)>;
using Case = std::tuple<const char*, std::string, Edit, std::string>;  // what, sim options, edit, status text

class SimStatus : public testing::TestWithParam<Case> {};

TEST_P(SimStatus, PrintsTheJukebox) {
    const auto& [what, options, edit, expected] = GetParam();
    SimJukebox jukebox(options);
    if (edit)
        jukebox.edit(edit);
    const ProcessResult result = jukebox.run({"status"});
    EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
    EXPECT_EQ(result.out, expected) << what;
    EXPECT_EQ(result.err, "") << what;
}

INSTANTIATE_TEST_SUITE_P(
    Jukeboxes, SimStatus,
    testing::Values(
        Case{"three full slots, nothing loaded", "slots=4 drives=2 ports=1 full=1-3", nullptr,
             "  Storage Changer 0:0:0:2 Drives, 5 Slots ( 1 Import/Export )\n"
             "Data Transfer Element 0:Empty\n"
             "Data Transfer Element 1:Empty\n"
             "      Storage Element 1:Full \n"
             "      Storage Element 2:Full \n"
             "      Storage Element 3:Full \n"
             "      Storage Element 4:Empty\n"
             "      Storage Element 5 IMPORT/EXPORT:Empty\n"},
        Case{"an empty jukebox at target 3, LUN 1", "target=3 lun=1 slots=2 drives=1 ports=1 full=none", nullptr,
             "  Storage Changer 0:3:1:1 Drives, 3 Slots ( 1 Import/Export )\n"
             "Data Transfer Element 0:Empty\n"
             "      Storage Element 1:Empty\n"
             "      Storage Element 2:Empty\n"
             "      Storage Element 3 IMPORT/EXPORT:Empty\n"},
        Case{"a drive loaded from slot 2, a drive whose disc has no source, a disc in the port",
             "slots=3 drives=2 ports=1 full=1-2",
             [](JukeboxState& s) {
                 s.discs.erase(s.slotAddress(2));
                 s.records[1] = false;
                 s.discs[s.drives.first] = Disc{2, s.slotAddress(2), false};
                 s.discs[uint16_t(s.drives.first + 1)] = Disc{7, std::nullopt, false};
                 s.discs[s.ports.first] = Disc{8, std::nullopt, true};
             },
             "  Storage Changer 0:0:0:2 Drives, 4 Slots ( 1 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 2 Loaded)\n"
             "Data Transfer Element 1:Full (Unknown Storage Element Loaded)\n"
             "      Storage Element 1:Full \n"
             "      Storage Element 2:Empty\n"
             "      Storage Element 3:Empty\n"
             "      Storage Element 4 IMPORT/EXPORT:Full \n"},
        Case{"slots show the changer's records, not where the discs are", "slots=3 drives=1 ports=0 full=1",
             [](JukeboxState& s) { s.records = {false, true, false}; },
             "  Storage Changer 0:0:0:1 Drives, 3 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Empty\n"
             "      Storage Element 1:Empty\n"
             "      Storage Element 2:Full \n"
             "      Storage Element 3:Empty\n"},
        Case{"drives at 4002h and a disc loaded from the last slot; an 8-byte block descriptor",
             "slots=2 drives=1 ports=1 first_drive=4002 block_descriptor=8 full=1-2",
             [](JukeboxState& s) {
                 s.discs.erase(s.slotAddress(2));
                 s.records[1] = false;
                 s.discs[s.drives.first] = Disc{2, s.slotAddress(2), false};
             },
             "  Storage Changer 0:0:0:1 Drives, 3 Slots ( 1 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 2 Loaded)\n"
             "      Storage Element 1:Full \n"
             "      Storage Element 2:Empty\n"
             "      Storage Element 3 IMPORT/EXPORT:Empty\n"}));

TEST(SimStatusLarge, EveryOneOf300SlotsIsReported) {
    SimJukebox jukebox("slots=300 drives=1 ports=1 full=1,150,299");
    const std::string text = jukebox.status();
    EXPECT_EQ(text.substr(0, text.find('\n')), "  Storage Changer 0:0:0:1 Drives, 301 Slots ( 1 Import/Export )");
    for (const char* line : {"\n      Storage Element 1:Full \n", "\n      Storage Element 150:Full \n",
                             "\n      Storage Element 299:Full \n", "\n      Storage Element 300:Empty\n",
                             "\n      Storage Element 301 IMPORT/EXPORT:Empty\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 1 + 301);
}

TEST(SimStatusUnitAttention, OnReadElementStatusIsAnsweredByAskingAgain) {
    SimJukebox jukebox("slots=2 drives=1 ports=0 full=1");
    jukebox.edit([](JukeboxState& s) { s.faults.push_back(aspi::sim::Fault{0x06, 0x29, 0x00, uint8_t{0xB8}, 1}); });
    const ProcessResult result = jukebox.run({"status"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "  Storage Changer 0:0:0:1 Drives, 2 Slots ( 0 Import/Export )\n"
              "Data Transfer Element 0:Empty\n"
              "      Storage Element 1:Full \n"
              "      Storage Element 2:Empty\n");
    EXPECT_TRUE(jukebox.state().faults.empty());
}

TEST(SimStatusJson, DescribesIdentityGeometryAndEveryElement) {
    SimJukebox jukebox("slots=2 drives=1 ports=1 full=1-2");
    jukebox.edit([](JukeboxState& s) {
        s.discs.erase(s.slotAddress(2));
        s.records[1] = false;
        s.discs[s.drives.first] = Disc{2, s.slotAddress(2), false};
    });
    const ProcessResult result = jukebox.run({"status", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\n"
              "  \"schema\": 1,\n"
              "  \"changer\": \"0:0:0\",\n"
              "  \"target\": {\"host_adapter\": 0, \"target_id\": 0, \"lun\": 0},\n"
              "  \"identity\": {\"vendor\": \"KARVEL\", \"product\": \"DISC JUKEBOX\", \"revision\": \"1.00\"},\n"
              "  \"volume_tags\": false,\n"
              "  \"drives\": 1,\n"
              "  \"slots\": 3,\n"
              "  \"import_export\": 1,\n"
              "  \"geometry\": {\n"
              "    \"transport\": {\"first\": 0, \"count\": 1},\n"
              "    \"storage\": {\"first\": 1, \"count\": 2},\n"
              "    \"import_export\": {\"first\": 48, \"count\": 1},\n"
              "    \"data_transfer\": {\"first\": 16384, \"count\": 1}\n"
              "  },\n"
              "  \"elements\": [\n"
              "    {\"type\": \"transport\", \"number\": 0, \"address\": 0, \"full\": false, \"source\": null, "
              "\"volume_tag\": null},\n"
              "    {\"type\": \"data_transfer\", \"number\": 0, \"address\": 16384, \"full\": true, \"source\": "
              "{\"address\": 2, \"slot\": 2}, \"volume_tag\": null},\n"
              "    {\"type\": \"storage\", \"number\": 1, \"address\": 1, \"full\": true, \"source\": null, "
              "\"volume_tag\": null},\n"
              "    {\"type\": \"storage\", \"number\": 2, \"address\": 2, \"full\": false, \"source\": null, "
              "\"volume_tag\": null},\n"
              "    {\"type\": \"import_export\", \"number\": 3, \"address\": 48, \"full\": false, \"source\": null, "
              "\"volume_tag\": null}\n"
              "  ]\n"
              "}\n");
}

TEST(SimInquiry, PrintsTheIdentityAsMtxDoes) {
    SimJukebox jukebox;
    const ProcessResult result = jukebox.run({"inquiry"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Product Type: Medium Changer\n"
              "Vendor ID: 'KARVEL  '\n"
              "Product ID: 'DISC JUKEBOX    '\n"
              "Revision: '1.00'\n"
              "Attached Changer API: No\n");
}

TEST(SimList, ShowsEveryDeviceOfEveryAdapter) {
    SimJukebox jukebox;
    jukebox.configure({"sim a.state target=2 slots=5", "sim b.state target=6 lun=3 slots=7"});
    const ProcessResult result = jukebox.run({"list"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "0:2:0    Medium Changer            KARVEL   DISC JUKEBOX     1.00\n"
              "1:6:3    Medium Changer            KARVEL   DISC JUKEBOX     1.00\n");
}

}  // namespace
