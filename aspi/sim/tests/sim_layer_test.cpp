// SPDX-License-Identifier: MIT
// The jukebox end to end through the layer's request blocks, and what it does with a state
// file that is damaged or that a crash left half written.
#include <gtest/gtest.h>

#include <cstring>

#include "aspi_layer.h"
#include "sim/sim_state.h"
#include "sim_test_support.h"

namespace aspi::sim::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct LayerFixture : ::testing::Test {
    AspiLayer layer(const std::string& simLine) {
        writeFile(config, simLine + "\n");
        return AspiLayer::fromConfigFile(config);
    }
    // Sends cdb to adapter 0 at target/lun; returns the block as the layer left it.
    SRB_ExecSCSICmd exec(AspiLayer& l, Bytes cdb, size_t length = 0, uint8_t target = 0, uint8_t lun = 0) {
        SRBunion srb{};
        srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.exec.SRB_Target = target;
        srb.exec.SRB_Lun = lun;
        srb.exec.SRB_SenseLen = SENSE_LEN;
        srb.exec.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
        std::memcpy(srb.exec.CDBByte, cdb.data(), cdb.size());
        buffer.assign(length, 0);
        srb.exec.SRB_BufLen = static_cast<uint32_t>(length);
        srb.exec.SRB_BufPointer = length ? buffer.data() : nullptr;
        l.send(&srb);
        return srb.exec;
    }
    static std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, uint8_t> outcome(const SRB_ExecSCSICmd& b) {
        return {b.SRB_Status, b.SRB_TargStat, uint8_t(b.SenseArea[2] & 0x0F), b.SenseArea[12], b.SenseArea[13]};
    }

    ScratchDir dir;
    std::string config = dir.path("wnaspi32.conf");
    std::string state = dir.path("jukebox");
    Bytes buffer;
};

TEST_F(LayerFixture, DiscoveryFindsTheChangerAndNothingElse) {
    AspiLayer l = layer("sim jukebox target=2 lun=1");  // relative to the configuration file
    ASSERT_TRUE(l.ready()) << l.fault();
    EXPECT_EQ(l.supportInfo(), 0x0101u);
    std::vector<std::pair<int, int>> found;
    for (int t = 0; t < 16; ++t)
        for (int lun = 0; lun < 8; ++lun) {
            SRBunion srb{};
            srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
            srb.gdev.SRB_Target = static_cast<uint8_t>(t);
            srb.gdev.SRB_Lun = static_cast<uint8_t>(lun);
            if (l.send(&srb) == SS_COMP && srb.gdev.SRB_DeviceType == 8) found.emplace_back(t, lun);
        }
    EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_TRUE(std::filesystem::exists(state));

    SRB_ExecSCSICmd other = exec(l, kTestUnitReady, 0, 0, 0);
    EXPECT_EQ(std::pair(other.SRB_Status, other.SRB_HaStat), std::pair(uint8_t{SS_NO_DEVICE}, uint8_t{0x11}));
}

TEST_F(LayerFixture, RequestBlocksCarryStatusAndSense) {
    AspiLayer l = layer("sim " + state);
    using O = std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, uint8_t>;
    const std::pair<Bytes, O> steps[] = {
        {{0x12, 0, 0, 0, 47, 0}, O{SS_COMP, 0, 0, 0, 0}},
        {kTestUnitReady, O{SS_ERR, 2, 6, 0x29, 0}},
        {kTestUnitReady, O{SS_COMP, 0, 0, 0, 0}},
        {moveCdb(0x0001, 0x4000), O{SS_COMP, 0, 0, 0, 0}},
        {moveCdb(0x0001, 0x4001), O{SS_ERR, 2, 5, 0x3B, 0x0E}},
        {moveCdb(0x0002, 0x4000), O{SS_ERR, 2, 5, 0x3B, 0x0D}},
        {moveCdb(0x0002, 0x0999), O{SS_ERR, 2, 5, 0x21, 0x01}},
        {{0x3C, 2, 0, 0, 0, 0, 0, 0, 13, 0}, O{SS_COMP, 0, 0, 0, 0}},
    };
    int i = 0;
    for (const auto& [cdb, expected] : steps) {
        SCOPED_TRACE(i++);
        SRB_ExecSCSICmd b = exec(l, cdb, cdb[0] == 0x12 ? 47 : cdb[0] == 0x3C ? 13 : 0);
        EXPECT_EQ(outcome(b), expected);
        if (b.SRB_Status == SS_ERR) {
            EXPECT_EQ(b.SenseArea[0], 0x70);
        }
    }
    EXPECT_EQ(buffer[0], 0x7F);  // slot 1 is in the drive
}

TEST_F(LayerFixture, ABadSimLineMakesTheLayerNotReady) {
    ::testing::internal::CaptureStderr();
    AspiLayer l = layer("sim jukebox slots=lots");
    EXPECT_FALSE(l.ready());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), l.fault() + "\n");
    EXPECT_NE(l.fault().find(config + ":1: sim: slots=lots"), std::string::npos) << l.fault();
}

TEST_F(LayerFixture, ADamagedStateFileIsReportedOnceAndLeftAlone) {
    const std::string damaged = "jukebox 1\ntarget 0\nlun 0\ntransport 0000 one\n";
    writeFile(state, damaged);
    ::testing::internal::CaptureStderr();
    AspiLayer l = layer("sim " + state);
    ASSERT_TRUE(l.ready());
    using O = std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, uint8_t>;
    const std::pair<Bytes, O> steps[] = {
        {kTestUnitReady, O{SS_ERR, 2, 6, 0x29, 0}},
        {kTestUnitReady, O{SS_ERR, 2, 4, 0x53, 0x87}},
        {moveCdb(0x0001, 0x4000), O{SS_ERR, 2, 4, 0x53, 0x87}},
        {{0x3B, 2, 0, 0, 0, 0, 0, 0, 13, 0}, O{SS_ERR, 2, 4, 0x53, 0x87}},
        {{0x12, 0, 0, 0, 47, 0}, O{SS_COMP, 0, 0, 0, 0}},
    };
    for (const auto& [cdb, expected] : steps) EXPECT_EQ(outcome(exec(l, cdb, 47)), expected);
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(report, "wnaspi32: sim: " + state + ": line 4: 'one' is not a number from 0 to 254\n");
    EXPECT_EQ(readFile(state), damaged);
    EXPECT_FALSE(std::filesystem::exists(state + ".tmp"));

    createState(state, Seed{});  // mended: served again
    EXPECT_EQ(outcome(exec(l, kTestUnitReady)), (O{SS_COMP, 0, 0, 0, 0}));
}

TEST_F(LayerFixture, ACrashBeforeTheRenameLeavesTheOldState) {
    createState(state, Seed{});
    std::string before = readFile(state);
    JukeboxState moved = loadState(state);
    moved.discs.clear();
    StateFile(state).writeTemporary(formatState(moved));  // written and synced, never renamed

    AspiLayer l = layer("sim " + state);
    exec(l, kTestUnitReady);
    EXPECT_EQ(readFile(state), before);
    SRB_ExecSCSICmd status = exec(l, statusCdb(2, 0x0001, 1, 32), 32);
    EXPECT_EQ(status.SRB_Status, SS_COMP);
    EXPECT_EQ(buffer[18], 0x09);  // slot 1 still full
    ASSERT_EQ(exec(l, moveCdb(0x0001, 0x4000)).SRB_Status, SS_COMP);
    EXPECT_FALSE(std::filesystem::exists(state + ".tmp"));  // the next write replaced the leftover
    EXPECT_EQ(loadState(state).discAt(0x4000)->id, 1u);
}

}  // namespace
}  // namespace aspi::sim::testing
