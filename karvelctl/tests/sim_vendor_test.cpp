// SPDX-License-Identifier: MIT
// records, initialize, rezero and firmware run as karvelctl on the simulated jukebox, their
// effects read back from the jukebox's state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <tuple>

#include "sim_test_jukebox.h"

namespace karvel::ctl::test {
namespace {

namespace sim = aspi::sim;

// 120 slots: two groups of records. Slots 1-30 hold discs.
constexpr const char* kJukebox = "slots=120 drives=2 ports=1";
constexpr size_t kImageSize = 131072;
constexpr uint8_t kRezeroUnit = 0x01;
constexpr uint8_t kInitializeElementStatus = 0x07;
constexpr uint8_t kWriteBuffer = 0x3B;

// Returns the 1-based numbers of the slots the records mark full.
std::set<int> recordedFullSlots(const sim::JukeboxState& state) {
    std::set<int> slots;
    for (size_t i = 0; i < state.records.size(); ++i)
        if (state.records[i]) slots.insert(static_cast<int>(i) + 1);
    return slots;
}

std::set<int> slotRange(int first, int last) {
    std::set<int> slots;
    for (int n = first; n <= last; ++n) slots.insert(n);
    return slots;
}

std::string writeFile(const SimJukebox& jukebox, const std::string& name, const std::string& contents) {
    const std::string path = jukebox.directory() + "/" + name;
    test_support::writeFile(path, contents);
    return path;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(KarvelctlRecords, PrintsWhatTheRecordsSayNotWhereTheDiscsAre) {
    SimJukebox jukebox(kJukebox);
    jukebox.edit([](sim::JukeboxState& s) {
        s.records[1] = false;   // slot 2 holds a disc the records forgot
        s.records[44] = true;   // slot 45 is empty but recorded full
        s.records[110] = true;  // the second group
    });
    const ProcessResult result = jukebox.run({"records"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    const sim::JukeboxState state = jukebox.state();
    for (size_t i = 0; i < state.records.size(); ++i)
        expected += "Slot " + std::to_string(i + 1) + (state.records[i] ? ":Full\n" : ":Empty\n");
    EXPECT_EQ(result.out, expected);
    for (const char* line : {"Slot 2:Empty\n", "Slot 45:Full\n", "Slot 111:Full\n", "Slot 120:Empty\n"})
        EXPECT_TRUE(contains(result.out, line)) << line;
}

using Clearing = std::tuple<std::vector<std::string> /*args*/, int /*exit*/, std::string /*out*/,
                            std::string /*err part*/, bool /*records cleared*/>;

class KarvelctlRecordsClear : public ::testing::TestWithParam<Clearing> {};

TEST_P(KarvelctlRecordsClear, ClearsOnlyWithYesAndNeverMovesADisc) {
    auto [args, exit, out, errPart, cleared] = GetParam();
    SimJukebox jukebox(kJukebox);
    jukebox.edit([](sim::JukeboxState&) {});  // seeds the state to compare with
    const sim::JukeboxState before = jukebox.state();
    const ProcessResult result = jukebox.run(args);
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out), std::make_tuple(exit, out)) << result.err;
    EXPECT_TRUE(contains(result.err, errPart)) << result.err;
    const sim::JukeboxState after = jukebox.state();
    EXPECT_EQ(recordedFullSlots(after), cleared ? std::set<int>{} : recordedFullSlots(before));
    EXPECT_EQ(discPlaces(after), discPlaces(before));
}

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlRecordsClear,
    ::testing::Values(Clearing{{"records", "--clear", "--yes"}, 0, "Cleared the records of 120 slots (2 groups)\n", "", true},
                      Clearing{{"records", "--yes", "--clear"}, 0, "Cleared the records of 120 slots (2 groups)\n", "", true},
                      Clearing{{"records", "--clear"}, 2, "", "add --yes to clear them", false},
                      Clearing{{"records", "--yes"}, 2, "", "--yes goes with --clear", false},
                      Clearing{{"records", "all"}, 2, "", "usage: karvelctl [-f ADDRESS] records", false}));

TEST(KarvelctlRecordsClear, StopsAtTheFirstGroupTheChangerRefuses) {
    SimJukebox jukebox(kJukebox);
    jukebox.edit([](sim::JukeboxState& s) {
        s.faults.push_back(sim::Fault{.key = 4, .asc = 0x53, .ascq = 0x87, .opcode = kWriteBuffer});
    });
    const ProcessResult result = jukebox.run({"records", "--clear", "--yes"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(contains(result.err, "WRITE BUFFER of Records Group 0 Failed")) << result.err;
    EXPECT_EQ(recordedFullSlots(jukebox.state()), slotRange(1, 30)) << "group 1 was written after group 0 failed";
}

using Initializing = std::tuple<std::vector<std::string> /*args*/, std::optional<uint8_t> /*failing opcode*/,
                                int /*exit*/, std::string /*err part*/, std::set<int> /*recorded full*/,
                                std::optional<std::pair<uint16_t, uint16_t>> /*range kept*/>;

class KarvelctlInitialize : public ::testing::TestWithParam<Initializing> {};

// The records start cleared; INITIALIZE ELEMENT STATUS sets them from where the discs are,
// over the page 20h range when one was sent.
TEST_P(KarvelctlInitialize, SetsTheRecordsOfItsRangeFromTheDiscs) {
    auto [args, failing, exit, errPart, full, range] = GetParam();
    SimJukebox jukebox(kJukebox);
    jukebox.edit([failing](sim::JukeboxState& s) {
        s.records.assign(s.records.size(), false);
        if (failing) s.faults.push_back(sim::Fault{.key = 4, .asc = 0x15, .ascq = 0x01, .opcode = *failing});
    });
    const ProcessResult result = jukebox.run(args);
    EXPECT_EQ(result.exitCode, exit) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(contains(result.err, errPart)) << result.err;
    const sim::JukeboxState state = jukebox.state();
    EXPECT_EQ(recordedFullSlots(state), full);
    EXPECT_EQ(state.initRange, range);
    EXPECT_TRUE(state.faults.empty()) << "the failing command was never sent";
}

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlInitialize,
    ::testing::Values(
        Initializing{{"initialize"}, std::nullopt, 0, "", slotRange(1, 30), std::nullopt},
        Initializing{{"initialize", "5", "10"}, std::nullopt, 0, "", slotRange(5, 10), std::pair<uint16_t, uint16_t>{5, 10}},
        Initializing{{"initialize", "25", "120"}, std::nullopt, 0, "", slotRange(25, 30),
                     std::pair<uint16_t, uint16_t>{25, 120}},
        Initializing{{"initialize", "10", "5"}, std::nullopt, 1, "MODE SELECT of Page 20h (Element Addresses 10 to 5) Failed",
                     {}, std::nullopt},
        Initializing{{"initialize"}, kInitializeElementStatus, 1, "INITIALIZE ELEMENT STATUS Failed", {}, std::nullopt},
        Initializing{{"initialize", "5", "10"}, kInitializeElementStatus, 1, "Hardware Error", {},
                     std::pair<uint16_t, uint16_t>{5, 10}},
        Initializing{{"initialize", "5"}, std::nullopt, 2, "give both START and STOP", {}, std::nullopt},
        Initializing{{"initialize", "5", "65536"}, std::nullopt, 2, "STOP '65536' is not an element address", {},
                     std::nullopt},
        Initializing{{"initialize", "x", "10"}, std::nullopt, 2, "START 'x' is not an element address", {}, std::nullopt},
        Initializing{{"initialize", "1", "2", "3"}, std::nullopt, 2, "usage: karvelctl [-f ADDRESS] initialize", {},
                     std::nullopt}));

using Rezeroing = std::tuple<bool /*fails*/, int /*exit*/, std::vector<std::string> /*err parts*/>;

class KarvelctlRezero : public ::testing::TestWithParam<Rezeroing> {};

TEST_P(KarvelctlRezero, SendsRezeroUnit) {
    auto [fails, exit, errParts] = GetParam();
    SimJukebox jukebox(kJukebox);
    jukebox.edit([fails](sim::JukeboxState& s) {
        if (fails) s.faults.push_back(sim::Fault{.key = 4, .asc = 0x15, .ascq = 0x01, .opcode = kRezeroUnit});
    });
    const std::string places = discPlaces(jukebox.state());
    const ProcessResult result = jukebox.run({"rezero"});
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out), std::make_tuple(exit, std::string())) << result.err;
    for (const std::string& part : errParts) EXPECT_TRUE(contains(result.err, part)) << result.err;
    EXPECT_TRUE(jukebox.state().faults.empty()) << "no REZERO UNIT reached the changer";
    EXPECT_EQ(discPlaces(jukebox.state()), places);
}

INSTANTIATE_TEST_SUITE_P(Table, KarvelctlRezero,
                         ::testing::Values(Rezeroing{false, 0, {}},
                                           Rezeroing{true, 1, {"REZERO UNIT Failed\n", "Sense Key: Hardware Error"}}));

const std::string kMotorola = "S00600004844521B\r\nS107001001020304DE\r\nS9030000FC\r\n";
const std::string kIntelHex = ":0400100001020304E2\r\n:00000001FF\r\n";

// Returns the image a file of 01 02 03 04 at offset 10h gives.
std::vector<uint8_t> imageWithRecord() {
    std::vector<uint8_t> image(kImageSize, 0xFF);
    for (uint8_t i = 0; i < 4; ++i) image[0x10 + i] = static_cast<uint8_t>(i + 1);
    return image;
}

std::string binaryContents() {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7 + 3);
    return bytes;
}

std::vector<uint8_t> imageOfBinary() {
    const std::string bytes = binaryContents();
    std::vector<uint8_t> image(kImageSize, 0xFF);
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return image;
}

using Checking = std::tuple<std::string /*file*/, std::optional<std::string> /*contents*/, int /*exit*/,
                            std::string /*out part*/, std::string /*err part, after the path*/>;

class KarvelctlFirmwareCheck : public ::testing::TestWithParam<Checking> {};

TEST_P(KarvelctlFirmwareCheck, LoadsTheFileWithoutTouchingTheChanger) {
    auto [name, contents, exit, outPart, errPart] = GetParam();
    SimJukebox jukebox(kJukebox);
    const std::string path = contents ? writeFile(jukebox, name, *contents) : jukebox.directory() + "/" + name;
    const ProcessResult result = jukebox.run({"firmware", "check", path});
    EXPECT_EQ(result.exitCode, exit) << result.err;
    EXPECT_TRUE(contains(result.out, outPart)) << result.out;
    EXPECT_TRUE(contains(result.err, errPart.empty() ? "" : "karvelctl: firmware: " + path + ": " + errPart)) << result.err;
    EXPECT_FALSE(std::filesystem::exists(jukebox.statePath())) << "the layer was used";
}

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlFirmwareCheck,
    ::testing::Values(Checking{"fw.bin", binaryContents(), 0, "fw.bin: loads as", ""},
                      Checking{"fw.mot", kMotorola, 0, "fw.mot: loads as", ""},
                      Checking{"fw.hex", kIntelHex, 0, "fw.hex: loads as", ""},
                      Checking{"bad.mot", "S107001001020304DE\r\nS107001001020304DF\r\n", 1, "", "line 2: checksum error"},
                      Checking{"fw.s19", kMotorola, 1, "", "unknown extension"},
                      Checking{"empty.bin", "", 1, "", "empty file"},
                      Checking{"missing.mot", std::nullopt, 1, "", "cannot open"}));

TEST(KarvelctlFirmwareCheck, WithoutAFileIsAUsageError) {
    SimJukebox jukebox(kJukebox);
    const ProcessResult result = jukebox.run({"firmware", "check"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(contains(result.err, "usage: karvelctl firmware check FILE")) << result.err;
}

using Downloading = std::tuple<std::string /*file*/, std::string /*contents*/, std::vector<std::string> /*flags*/,
                               bool /*WRITE BUFFER refused*/, int /*exit*/, std::string /*out*/,
                               std::vector<std::string> /*err parts*/, std::vector<uint8_t> /*image; empty: none*/>;

class KarvelctlFirmwareDownload : public ::testing::TestWithParam<Downloading> {};

TEST_P(KarvelctlFirmwareDownload, SendsTheWholeImageOnlyWhenAskedAndLoaded) {
    auto [name, contents, flags, refused, exit, out, errParts, image] = GetParam();
    SimJukebox jukebox(kJukebox);
    jukebox.edit([refused](sim::JukeboxState& s) {
        if (refused) s.faults.push_back(sim::Fault{.key = 5, .asc = 0x24, .ascq = 0x00, .opcode = kWriteBuffer});
    });
    std::vector<std::string> args = {"firmware", "download", writeFile(jukebox, name, contents)};
    args.insert(args.end(), flags.begin(), flags.end());
    const ProcessResult result = jukebox.run(args);
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out), std::make_tuple(exit, out)) << result.err;
    for (const std::string& part : errParts) EXPECT_TRUE(contains(result.err, part)) << result.err;

    const sim::JukeboxState state = jukebox.state();
    EXPECT_EQ(sim::loadFirmware(jukebox.statePath()), image);
    EXPECT_EQ(state.firmwareDigest, image.empty() ? "" : sim::firmwareDigest(image));
    std::string revision = "1.00";
    if (!image.empty()) {
        revision = sim::firmwareDigest(image).substr(0, 4);
        for (char& c : revision) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const ProcessResult inquiry = jukebox.run({"inquiry"});
    EXPECT_TRUE(contains(inquiry.out, "Revision: '" + revision + "'")) << inquiry.out;
}

const std::string kNotTransferred = "ERROR: New Firmware NOT transfered";

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlFirmwareDownload,
    ::testing::Values(
        Downloading{"fw.bin", binaryContents(), {"--yes"}, false, 0, "Writing New Firmware Completed\n", {}, imageOfBinary()},
        Downloading{"fw.Mot", kMotorola, {"--yes"}, false, 0, "Writing New Firmware Completed\n", {}, imageWithRecord()},
        Downloading{"fw.hex", kIntelHex, {"--yes"}, false, 0, "Writing New Firmware Completed\n", {}, imageWithRecord()},
        Downloading{"fw.bin", binaryContents(), {}, false, 2, "", {"add --yes to send the file"}, {}},
        Downloading{"bad.mot", "S107001001020304DE\r\nS107001001020304DF\r\n", {"--yes"}, false, 1, "",
                    {"bad.mot: line 2: checksum error\n", kNotTransferred}, {}},
        Downloading{"fw.txt", kMotorola, {"--yes"}, false, 1, "", {"fw.txt: unknown extension", kNotTransferred}, {}},
        Downloading{"empty.bin", "", {"--yes"}, false, 1, "", {"empty.bin: empty file\n", kNotTransferred}, {}},
        Downloading{"fw.bin", binaryContents(), {"--yes"}, true, 1, "",
                    {"WRITE BUFFER of the Firmware Image Failed\n", "Sense Key: Illegal Request", kNotTransferred}, {}}));

using Shown = std::tuple<bool /*stdout is a terminal*/, bool /*progress shown*/>;

class KarvelctlFirmwareProgress : public ::testing::TestWithParam<Shown> {};

TEST_P(KarvelctlFirmwareProgress, IsShownOnlyOnATerminal) {
    auto [terminal, shown] = GetParam();
    SimJukebox jukebox(kJukebox);
    const ProcessResult result =
        jukebox.run({"firmware", "download", writeFile(jukebox, "fw.bin", binaryContents()), "--yes"}, terminal);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(contains(result.out, "Transfering Firmware to Changer"), shown) << result.out;
    EXPECT_TRUE(contains(result.out, "Writing New Firmware Completed")) << result.out;
}

INSTANTIATE_TEST_SUITE_P(Table, KarvelctlFirmwareProgress, ::testing::Values(Shown{true, true}, Shown{false, false}));

using SgRefused = std::tuple<std::string /*-f*/, std::string /*err*/>;

class KarvelctlSgAddress : public ::testing::TestWithParam<SgRefused> {};

TEST_P(KarvelctlSgAddress, IsRefusedClearlyWhenThereIsNoSuchDevice) {
    auto [address, err] = GetParam();
    SimJukebox jukebox(kJukebox);
    const ProcessResult result = jukebox.run({"-f", address, "status"});
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out, result.err), std::make_tuple(2, std::string(), err));
}

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlSgAddress,
    ::testing::Values(SgRefused{"/dev/sg4095", "karvelctl: -f /dev/sg4095: no such SCSI generic device (nothing at "
                                               "/sys/class/scsi_generic/sg4095/device)\n"},
                      SgRefused{"/dev/sch0", "karvelctl: -f '/dev/sch0' is not a SCSI generic device: give /dev/sgN "
                                             "(lsscsi -g lists them)\n"}));

TEST(KarvelctlPrivateConfiguration, NeedsNoTemporaryDirectory) {
    // The configuration is a memory file: a TMPDIR that does not exist is no obstacle, and the
    // layer reads the line (and tries the target) as given.
    const ProcessResult result = runProcess({KARVELCTL_PROGRAM, "-f", "iscsi://127.0.0.1:9/iqn.x:changer/1", "status"},
                                             {{"TMPDIR", "/nonexistent-karvelctl-dir"}});
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out, result.err),
              std::make_tuple(3, std::string(),
                              std::string("wnaspi32: iscsi://127.0.0.1:9 target iqn.x:changer: cannot connect: "
                                          "Connection refused\n"
                                          "karvelctl: no device answers at iscsi://127.0.0.1:9/iqn.x:changer/1 (No "
                                          "SCSI Device Detected)\n")));
}

}  // namespace
}  // namespace karvel::ctl::test
