// SPDX-License-Identifier: MIT
// The scripted layer is what the libraries really reach, and it answers as scripted.
#include <gtest/gtest.h>

#include <cstring>

#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "scripted_aspi.h"
#include "scsi_codes.h"

namespace karvel::test {
namespace {

using Bytes = std::vector<uint8_t>;

SRBunion changerBlock() { return addressedBlock(0, 4, 0); }

TEST(ScriptedAspi, CommandsOfBothLibrariesReachIt) {
    ScriptedAspi aspi;
    SRBunion srb = changerBlock();
    EXPECT_EQ(TestUnitReady(&srb), SS_COMP);
    EXPECT_EQ(InitializeElementStatus(&srb), SS_COMP);
    auto seen = aspi.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].cdb, (Bytes{0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(seen[1].cdb, (Bytes{0x07, 0, 0, 0, 0, 0}));
    EXPECT_EQ(seen[1].target, 4);
}

TEST(ScriptedAspi, AnswersWithStatusSenseAndDataInOrder) {
    ScriptedAspi aspi;
    Reply data;
    data.dataIn = {0x08, 0x00, 0x02, 0xAA, 0xBB};  // longer than asked: cut at SRB_BufLen
    aspi.queue(Reply::checkCondition(scsi::NOT_READY, 0x04, 0x03));
    aspi.queue(data);
    SRBunion srb = changerBlock();
    EXPECT_EQ(TestUnitReady(&srb), SS_ERR);
    EXPECT_EQ(srb.exec.SRB_TargStat, scsi::CHECK_CONDITION);
    EXPECT_EQ(srb.exec.SenseArea[2], scsi::NOT_READY);
    EXPECT_EQ(srb.exec.SenseArea[12], 0x04);
    EXPECT_EQ(srb.exec.SenseArea[13], 0x03);

    uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(ModeSense6(&srb, 0, 0, 0x1D, 3, buffer), SS_COMP);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x08, 0x00, 0x02, 0xEE}));
    EXPECT_EQ(TestUnitReady(&srb), SS_COMP);  // queue empty: the default answer
}

TEST(ScriptedAspi, CopiesDataOutOnlyForDataOutCommands) {
    ScriptedAspi aspi;
    SRBunion srb = changerBlock();
    uint8_t page[4] = {1, 2, 3, 4};
    ModeSelect6(&srb, 1, 0, 4, page);
    ModeSense6(&srb, 0, 0, 0x1D, 4, page);
    auto seen = aspi.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].dataOut, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(seen[0].buffer, page);
    EXPECT_TRUE(seen[1].dataOut.empty());
}

TEST(ScriptedAspi, ResponderAnswersOnceTheQueueIsEmpty) {
    ScriptedAspi aspi;
    aspi.answerWith([](const SeenRequest& request) {
        Reply reply;
        reply.status = request.cdb[0] == scsi::REZERO_UNIT ? SS_ABORTED : SS_COMP;
        return reply;
    });
    SRBunion srb = changerBlock();
    EXPECT_EQ(Rezero(&srb), SS_ABORTED);
    EXPECT_EQ(TestUnitReady(&srb), SS_COMP);
}

struct ProbeCase {
    uint8_t haId, target, lun;
    uint8_t status, deviceType;
};

TEST(ScriptedAspi, ProbesAnswerFromTheDeviceTableAndAreRecorded) {
    ScriptedAspi aspi;
    aspi.setSupportValue(0x0102);  // two host adapters
    aspi.addDevice(1, 5, 0, scsi::kMediumChangerType);
    aspi.addDevice(0, 0, 0, 0x05);
    const ProbeCase cases[] = {
        {1, 5, 0, SS_COMP, scsi::kMediumChangerType},
        {0, 0, 0, SS_COMP, 0x05},
        {0, 5, 0, SS_NO_DEVICE, 0xCC},
        {1, 5, 1, SS_NO_DEVICE, 0xCC},
        {2, 0, 0, SS_INVALID_HA, 0xCC},
    };
    for (const auto& c : cases) {
        SRBunion srb{};
        srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
        srb.gdev.SRB_HaId = c.haId;
        srb.gdev.SRB_Target = c.target;
        srb.gdev.SRB_Lun = c.lun;
        srb.gdev.SRB_DeviceType = 0xCC;
        EXPECT_EQ(SendASPI32Command(&srb), c.status);
        EXPECT_EQ(srb.gdev.SRB_Status, c.status);
        EXPECT_EQ(srb.gdev.SRB_DeviceType, c.deviceType);
    }
    auto probes = aspi.probes();
    ASSERT_EQ(probes.size(), std::size(cases));
    EXPECT_EQ(probes[3].lun, 1);
    EXPECT_TRUE(aspi.requests().empty());
}

TEST(ScriptedAspi, LateCompletionLeavesTheRequestPendingAtFirst) {
    ScriptedAspi aspi;
    Reply late;
    late.completeLater = true;
    late.status = SS_ERR;
    late.targetStatus = scsi::BUSY;
    aspi.queue(late);
    SRBunion srb = changerBlock();
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_CDBLen = 6;
    EXPECT_EQ(SendASPI32Command(&srb), SS_PENDING);
    aspi.waitForLateCompletions();
    EXPECT_EQ(srb.exec.SRB_Status, SS_ERR);
    EXPECT_EQ(srb.exec.SRB_TargStat, scsi::BUSY);
}

TEST(ScriptedAspi, SupportValueIsScriptedAndQueriesCounted) {
    ScriptedAspi aspi;
    aspi.setSupportValue(0x00E400);
    EXPECT_EQ(GetASPI32SupportInfo(), 0x00E400u);
    aspi.throwOnSupportQuery();
    EXPECT_THROW(GetASPI32SupportInfo(), std::runtime_error);
    EXPECT_EQ(aspi.supportQueries(), 2);
}

TEST(ScriptedAspi, WithoutAnInstanceTheLayerIsNotReady) {
    EXPECT_EQ(GetASPI32SupportInfo() >> 8, uint32_t{SS_FAILED_INIT});
    SRBunion srb = changerBlock();
    EXPECT_EQ(TestUnitReady(&srb), SS_INVALID_HA);
}

TEST(ScriptedAspi, OnlyOneInstanceAtATime) {
    ScriptedAspi aspi;
    EXPECT_THROW(ScriptedAspi second, std::logic_error);
}

}  // namespace
}  // namespace karvel::test
