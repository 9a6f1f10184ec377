// SPDX-License-Identifier: MIT
// The common start of every command that Nevsel and Ostrik build: an empty execute
// request of the stated CDB length, its operation code, and the LUN in CDB byte 1.
#pragma once

#include <cstdint>

#include <karvel/nevsel.h>

namespace karvel {

// Prepares srb (the caller's) with InitSRBexecute and returns its CDB, byte 0 = opcode and
// bits 7-5 of byte 1 = the low three bits of SRB_Lun; every other CDB byte is zero.
inline uint8_t* startCommand(SRBunion* srb, uint8_t cdbLength, uint8_t opcode) {
    InitSRBexecute(srb, cdbLength);
    uint8_t* cdb = srb->exec.CDBByte;
    cdb[0] = opcode;
    cdb[1] = static_cast<uint8_t>((cdb[1] & 0x1F) | ((srb->exec.SRB_Lun << 5) & 0xE0));
    return cdb;
}

// Lends the caller's buffer to the request: its address and the data phase length only.
inline void lendBuffer(SRBunion* srb, uint32_t length, uint8_t* buffer) {
    srb->exec.SRB_BufLen = length;
    srb->exec.SRB_BufPointer = buffer;
}

// Returns bit 0 of a flag argument moved to bit position `bit`.
inline uint8_t flagBit(uint8_t flag, unsigned bit) {
    return static_cast<uint8_t>((flag & 1u) << bit);
}

}  // namespace karvel
