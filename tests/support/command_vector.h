// SPDX-License-Identifier: MIT
// One command's expected request, and the checks that run it against a ScriptedAspi:
// the CDB vector tables of Nevsel and Ostrik are lists of these.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "scripted_aspi.h"

namespace karvel::test {

struct CommandVector {
    const char* name;
    uint8_t lun;  // SRB_Lun of the block the command runs on
    std::function<uint8_t(SRBunion*, uint8_t* buffer)> send;
    std::vector<uint8_t> cdb;  // SRB_CDBLen is its size
    uint32_t bufLen;
    bool lendsBuffer;  // SRB_BufPointer is the caller's buffer (else the case passes null)
};

inline void PrintTo(const CommandVector& c, std::ostream* os) { *os << c.name; }

// Returns a block addressed to adapter 2, target 6 and the case's LUN, with a PostProc
// value and leftovers of an earlier request in the CDB and sense area.
inline SRBunion usedBlock(uint8_t lun, void* postProc) {
    SRBunion srb = addressedBlock(2, 6, lun);
    srb.exec.SRB_PostProc = postProc;
    for (uint8_t& byte : srb.exec.CDBByte) byte = 0xEE;
    for (uint8_t& byte : srb.exec.SenseArea) byte = 0xEE;
    return srb;
}

// The command sends exactly its CDB and data phase and keeps what the caller set.
inline void expectSendsItsRequest(const CommandVector& c, ScriptedAspi& aspi, uint8_t* buffer) {
    int postProc = 0;
    SRBunion srb = usedBlock(c.lun, &postProc);
    uint8_t* lent = c.lendsBuffer ? buffer : nullptr;

    EXPECT_EQ(c.send(&srb, lent), SS_COMP);

    auto seen = aspi.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].cdb, c.cdb);
    EXPECT_EQ(seen[0].bufLen, c.bufLen);
    EXPECT_EQ(seen[0].buffer, lent);
    const SRB_ExecSCSICmd& block = srb.exec;
    EXPECT_EQ(block.SRB_CDBLen, c.cdb.size());
    EXPECT_EQ(block.SRB_BufLen, c.bufLen);
    EXPECT_EQ(block.SRB_BufPointer, lent);
    for (size_t i = c.cdb.size(); i < sizeof block.CDBByte; ++i) EXPECT_EQ(block.CDBByte[i], 0) << i;
    EXPECT_EQ(block.SRB_Cmd, SC_EXEC_SCSI_CMD);
    EXPECT_EQ(block.SRB_HaId, 2);
    EXPECT_EQ(block.SRB_Target, 6);
    EXPECT_EQ(block.SRB_Lun, c.lun);
    EXPECT_EQ(block.SRB_Flags, 0);
    EXPECT_EQ(block.SRB_PostProc, &postProc);
    EXPECT_EQ(block.SRB_SenseLen, SENSE_LEN);
}

// A request that fails on the device: its status comes back, its sense stays in the block.
inline void expectReturnsAFailedStatus(const CommandVector& c, ScriptedAspi& aspi, uint8_t* buffer) {
    aspi.queue(Reply::checkCondition(0x05, 0x24, 0x01));
    int postProc = 0;
    SRBunion srb = usedBlock(c.lun, &postProc);
    EXPECT_EQ(c.send(&srb, c.lendsBuffer ? buffer : nullptr), SS_ERR);
    EXPECT_EQ(srb.exec.SRB_TargStat, 0x02);
    EXPECT_EQ(srb.exec.SenseArea[12], 0x24);
    EXPECT_EQ(srb.exec.SenseArea[13], 0x01);
}

// A submit that throws: the guard returns FFh, the block is left prepared, never submitted.
inline void expectGuardReturnsFF(const CommandVector& c, ScriptedAspi& aspi, uint8_t* buffer) {
    Reply failing;
    failing.throwOnSubmit = true;
    aspi.queue(failing);
    int postProc = 0;
    SRBunion srb = usedBlock(c.lun, &postProc);
    EXPECT_EQ(c.send(&srb, c.lendsBuffer ? buffer : nullptr), 0xFF);
    EXPECT_EQ(srb.exec.SRB_Status, SS_COMP);
    EXPECT_EQ(aspi.requests().size(), 1u);
}

}  // namespace karvel::test
