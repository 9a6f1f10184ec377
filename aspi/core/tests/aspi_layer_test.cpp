// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include <sys/stat.h>

#include "aspi_layer.h"
#include "aspi_config/layer_config.h"
#include "opcode_direction.h"
#include "scratch_dir.h"

namespace aspi {
namespace {

// Records what reaches the transport and answers with a programmed result.
class RecordingTransport : public Transport {
public:
    CommandResult execute(const CommandRequest& request) override {
        ++executed;
        cdb.assign(request.cdb.begin(), request.cdb.end());
        direction = request.direction;
        dataSize = request.data.size();
        return answer;
    }
    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override {
        ++probes;
        if (target == 2 && lun == 0) return 8;
        return std::nullopt;
    }
    void beginScan() override { ++scans; }

    CommandResult answer;
    int executed = 0, probes = 0, scans = 0;
    std::vector<uint8_t> cdb;
    DataDirection direction = DataDirection::none;
    size_t dataSize = 0;
};

struct LayerFixture : ::testing::Test {
    LayerFixture() {
        auto owned = std::make_unique<RecordingTransport>();
        transport = owned.get();
        std::vector<std::unique_ptr<Transport>> adapters;
        adapters.push_back(std::move(owned));
        layer = std::make_unique<AspiLayer>(std::move(adapters));
    }
    SRBunion execRequest(uint8_t opcode, uint32_t bufLen) {
        SRBunion srb{};
        srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.exec.SRB_CDBLen = 6;
        srb.exec.SRB_SenseLen = SENSE_LEN;
        srb.exec.CDBByte[0] = opcode;
        srb.exec.SRB_BufLen = bufLen;
        srb.exec.SRB_BufPointer = bufLen ? buffer : nullptr;
        return srb;
    }
    uint8_t buffer[64]{};
    RecordingTransport* transport;
    std::unique_ptr<AspiLayer> layer;
};

TEST_F(LayerFixture, SupportValueCountsAdaptersAndSaysReady) {
    EXPECT_EQ(layer->supportInfo(), 0x0101u);
    EXPECT_EQ(AspiLayer::notReady("x").supportInfo(), uint32_t{SS_FAILED_INIT} << 8);
}

TEST_F(LayerFixture, ExecuteCopiesOutcomeAndAtMostSenseLenBytes) {
    transport->answer.aspiStatus = SS_ERR;
    transport->answer.targetStatus = 0x02;
    transport->answer.hostStatus = HASTAT_OK;
    transport->answer.senseLength = 16;
    for (int i = 0; i < 16; ++i) transport->answer.sense[i] = uint8_t(0xA0 + i);
    SRBunion srb = execRequest(0x12, 47);
    EXPECT_EQ(layer->send(&srb), SS_ERR);
    EXPECT_EQ(srb.exec.SRB_Status, SS_ERR);
    EXPECT_EQ(srb.exec.SRB_TargStat, 0x02);
    EXPECT_EQ(srb.exec.SenseArea[13], 0xAD);
    EXPECT_EQ(srb.exec.SenseArea[14], 0);  // only the 14 bytes asked for
    EXPECT_EQ(transport->direction, DataDirection::in);
    EXPECT_EQ(transport->dataSize, 47u);
    EXPECT_EQ(transport->cdb.size(), 6u);
}

struct Refusal {
    const char* what;
    uint8_t cmd, ha, cdbLen, opcode;
    uint32_t bufLen;
    bool nullBuffer;
    uint8_t status;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.what; }

class LayerRefusals : public LayerFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(LayerRefusals, RefusedBeforeReachingTheTransport) {
    const Refusal& c = GetParam();
    SRBunion srb = execRequest(c.opcode, c.bufLen);
    srb.exec.SRB_Cmd = c.cmd;
    srb.exec.SRB_HaId = c.ha;
    srb.exec.SRB_CDBLen = c.cdbLen;
    if (c.nullBuffer) srb.exec.SRB_BufPointer = nullptr;
    EXPECT_EQ(layer->send(&srb), c.status) << c.what;
    EXPECT_EQ(srb.exec.SRB_Status, c.status) << c.what;
    EXPECT_EQ(transport->executed, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LayerRefusals,
    ::testing::Values(Refusal{"unknown request code", 7, 0, 6, 0x00, 0, false, SS_INVALID_CMD},
                      Refusal{"no such adapter", SC_EXEC_SCSI_CMD, 1, 6, 0x00, 0, false, SS_INVALID_HA},
                      Refusal{"CDB length 0", SC_EXEC_SCSI_CMD, 0, 0, 0x00, 0, false, SS_INVALID_SRB},
                      Refusal{"CDB length 17", SC_EXEC_SCSI_CMD, 0, 17, 0x00, 0, false, SS_INVALID_SRB},
                      Refusal{"data without buffer", SC_EXEC_SCSI_CMD, 0, 6, 0x12, 47, true, SS_INVALID_SRB},
                      Refusal{"unknown opcode with data", SC_EXEC_SCSI_CMD, 0, 6, 0xC1, 8, false, SS_INVALID_SRB},
                      Refusal{"too big", SC_EXEC_SCSI_CMD, 0, 6, 0x3C, kMaxTransferLength + 1, false,
                              SS_BUFFER_TO_BIG}),
    [](const ::testing::TestParamInfo<Refusal>& testInfo) {
        std::string name = testInfo.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST_F(LayerFixture, UnknownOpcodeWithoutDataGoesThrough) {
    SRBunion srb = execRequest(0xC1, 0);
    EXPECT_EQ(layer->send(&srb), SS_COMP);
    EXPECT_EQ(transport->direction, DataDirection::none);
}

TEST_F(LayerFixture, GetDeviceTypeAnswersAndStartsAScanAtTargetZero) {
    SRBunion srb{};
    srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    EXPECT_EQ(layer->send(&srb), SS_NO_DEVICE);
    srb.gdev.SRB_Target = 2;
    EXPECT_EQ(layer->send(&srb), SS_COMP);
    EXPECT_EQ(srb.gdev.SRB_Status, SS_COMP);
    EXPECT_EQ(srb.gdev.SRB_DeviceType, 8);
    EXPECT_EQ(transport->scans, 1);
    EXPECT_EQ(transport->probes, 2);
}

TEST(OpcodeDirections, EveryCommandTheSystemSendsHasOneEntry) {
    std::set<uint8_t> seen;
    for (const auto& entry : opcodeDirections()) EXPECT_TRUE(seen.insert(entry.opcode).second);
    EXPECT_EQ(directionOf(0xB8), DataDirection::in);
    EXPECT_EQ(directionOf(0x3B), DataDirection::out);
    EXPECT_EQ(directionOf(0xA5), DataDirection::none);
    EXPECT_FALSE(directionOf(0xC1));
}

// The Data phase column of the commands' descriptions in SPC-2 and SMC (Data-In: the target
// sends, Data-Out: the initiator sends), written down apart from the layer's table.
struct StandardDirection {
    uint8_t opcode;
    DataDirection direction;
};

constexpr StandardDirection kStandardDirections[] = {
    {0x00, DataDirection::none},  // TEST UNIT READY
    {0x01, DataDirection::none},  // REZERO UNIT
    {0x03, DataDirection::in},    // REQUEST SENSE: sense data
    {0x07, DataDirection::none},  // INITIALIZE ELEMENT STATUS
    {0x12, DataDirection::in},    // INQUIRY: inquiry data
    {0x15, DataDirection::out},   // MODE SELECT(6): parameter list
    {0x16, DataDirection::none},  // RESERVE(6)
    {0x17, DataDirection::none},  // RELEASE(6)
    {0x1A, DataDirection::in},    // MODE SENSE(6): parameter data
    {0x1C, DataDirection::in},    // RECEIVE DIAGNOSTIC RESULTS: diagnostic page
    {0x1D, DataDirection::out},   // SEND DIAGNOSTIC: parameter list
    {0x2B, DataDirection::none},  // POSITION TO ELEMENT
    {0x3B, DataDirection::out},   // WRITE BUFFER: buffer data
    {0x3C, DataDirection::in},    // READ BUFFER: buffer data
    {0x40, DataDirection::out},   // CHANGE DEFINITION: parameter data
    {0x55, DataDirection::out},   // MODE SELECT(10): parameter list
    {0x5A, DataDirection::in},    // MODE SENSE(10): parameter data
    {0xA5, DataDirection::none},  // MOVE MEDIUM
    {0xA6, DataDirection::none},  // EXCHANGE MEDIUM
    {0xB8, DataDirection::in},    // READ ELEMENT STATUS: element status data
};

TEST(OpcodeDirections, EveryOpcodeHasTheDirectionOfItsDataPhase) {
    std::set<uint8_t> expected;
    for (const auto& c : kStandardDirections) {
        expected.insert(c.opcode);
        auto direction = directionOf(c.opcode);
        ASSERT_TRUE(direction) << std::hex << int{c.opcode};
        EXPECT_EQ(*direction, c.direction) << std::hex << int{c.opcode};
    }
    std::set<uint8_t> listed;
    for (const auto& entry : opcodeDirections()) listed.insert(entry.opcode);
    EXPECT_EQ(listed, expected);
}

TEST(LayerConfig, ParsesWordsDropsCommentsAndKeepsLineNumbers) {
    auto lines = parseConfig("# jukeboxes\n\nsim /tmp/a.state slots=20 # demo\n  sg\n", "f.conf");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].transport, "sim");
    EXPECT_EQ(lines[0].number, 3);
    EXPECT_EQ(lines[0].args, (std::vector<std::string>{"/tmp/a.state", "slots=20"}));
    EXPECT_EQ(lines[1].transport, "sg");
    EXPECT_EQ(lines[1].number, 4);
}

TEST(LayerConfig, UnknownTransportMakesTheLayerNotReadyAndNamesFileAndLine) {
    auto path = std::filesystem::temp_directory_path() / "aspi_layer_test_bad.conf";
    std::ofstream(path) << "# first\nfloppy /dev/fd0\n";
    testing::internal::CaptureStderr();
    AspiLayer layer = AspiLayer::fromConfigFile(path.string());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(layer.ready());
    EXPECT_EQ(layer.supportInfo() & 0xFF00, uint32_t{SS_FAILED_INIT} << 8);
    EXPECT_NE(err.find(path.string() + ":2: unknown transport 'floppy'"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    std::filesystem::remove(path);
}

// A scratch directory for configuration files, removed afterwards.
struct ConfigDirectory : ::testing::Test {

    // Builds the layer from path and returns what it reported on stderr.
    std::string build(const std::string& path, bool& ready,
                      AspiLayer::MissingFile missing = AspiLayer::MissingFile::useDefault) {
        testing::internal::CaptureStderr();
        AspiLayer layer = AspiLayer::fromConfigFile(path, missing);
        ready = layer.ready();
        return testing::internal::GetCapturedStderr();
    }

    karvel::test_support::ScratchDir scratch{"aspi_layer"};
    std::filesystem::path dir = scratch.root();
};

TEST_F(ConfigDirectory, WhatIsNoUsableFileIsRefusedAtOnceWithItsPath) {
    const std::string fifo = (dir / "fifo.conf").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = (dir / "big.conf").string();
    {
        std::ofstream out(big);
        out << std::string(kLayerConfigLimit, '#') << "\n";
    }
    const std::string adapters = (dir / "adapters.conf").string();
    {
        std::ofstream out(adapters);
        for (int n = 0; n < 256; ++n) out << "iscsi iscsi://127.0.0.1:1\n";
    }
    const std::string control = (dir / "control.conf").string();
    std::ofstream(control) << std::string("flop\x1b[2Jpy\0x\n", 13);
    const std::string dirEscaped = dir.string();

    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {dir.string(), "wnaspi32: " + dirEscaped + ": is a directory\n"},
        {fifo, "wnaspi32: " + fifo + ": is not a regular file\n"},
        {"/dev/zero", "wnaspi32: /dev/zero: is not a regular file\n"},
        {big, "wnaspi32: " + big + ": is 1048577 bytes, more than the limit of 1048576 bytes\n"},
        {adapters, "wnaspi32: " + adapters +
                       ":256: more than 255 host adapters (a request block numbers them in one byte)\n"},
        {control, "wnaspi32: " + control +
                      ":1: unknown transport 'flop\\x1b[2Jpy\\x00x' (expected sim, sg or iscsi)\n"},
    };
    for (const auto& c : cases) {
        bool ready = true;
        EXPECT_EQ(build(c.path, ready), c.message);
        EXPECT_FALSE(ready) << c.path;
    }
}

TEST_F(ConfigDirectory, AMissingFileGivesTheDefaultAndNoMessage) {
    bool ready = false;
    EXPECT_EQ(build((dir / "none.conf").string(), ready), "");
    EXPECT_TRUE(ready);
}

TEST_F(ConfigDirectory, AMissingFileTheUserNamedIsRefusedWithItsPath) {
    const std::string path = (dir / "typo.conf").string();
    bool ready = true;
    EXPECT_EQ(build(path, ready, AspiLayer::MissingFile::isFault),
              "wnaspi32: " + path + ": no such file (named by ASPI32_CONFIG)\n");
    EXPECT_FALSE(ready);
}

TEST(LayerConfig, PathFollowsTheEnvironment) {
    setenv("ASPI32_CONFIG", "/x/y.conf", 1);
    EXPECT_EQ(configPath(), "/x/y.conf");
    unsetenv("ASPI32_CONFIG");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(configPath(), "/cfg/wnaspi32.conf");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(configPath(), "/home/op/.config/wnaspi32.conf");
}

}  // namespace
}  // namespace aspi
