// SPDX-License-Identifier: MIT
// The fifteen standard SCSI-2 commands: each prepares the caller's request block, fills
// in its CDB and data buffer fields, submits it and returns the final status.
// Arguments are cut to the width of their CDB field and never validated.
#include "byte_order.h"
#include "command_frame.h"
#include "library_export.h"
#include "scsi_codes.h"

namespace {

namespace op = karvel::scsi;
using karvel::flagBit;
using karvel::guarded;
using karvel::kCaughtFailure;
using karvel::lendBuffer;
using karvel::startCommand;

constexpr uint8_t kInquiryLength = 47;
constexpr uint8_t kRequestSenseLength = 18;

// Byte 1 of RESERVE and RELEASE: 3rdPty in bit 4, the device ID in bits 3-1, extent in bit 0.
uint8_t reservationFlags(uint8_t thirdParty, uint8_t thirdPartyId, uint8_t extent) {
    return static_cast<uint8_t>(flagBit(thirdParty, 4) | ((thirdPartyId & 0x07) << 1) |
                                flagBit(extent, 0));
}

// Page control in bits 7-6, page code in bits 5-0 (byte 2 of both MODE SENSE commands).
uint8_t pageField(uint8_t pageControl, uint8_t pageCode) {
    return static_cast<uint8_t>(((pageControl << 6) & 0xC0) | (pageCode & 0x3F));
}

// READ BUFFER and WRITE BUFFER: offset and length travel as 24 bits, while the data phase
// is the whole 32-bit length.
uint8_t bufferCommand(SRBunion* srb, uint8_t opcode, uint8_t mode, uint8_t bufferId,
                      uint32_t offset, uint32_t length, uint8_t* buffer) {
    uint8_t* cdb = startCommand(srb, 10, opcode);
    cdb[1] |= mode;
    cdb[2] = bufferId;
    karvel::put_be24(cdb + 3, offset);
    karvel::put_be24(cdb + 6, length);
    lendBuffer(srb, length, buffer);
    return CallAspi32(srb);
}

}  // namespace

KARVEL_EXPORT uint8_t TestUnitReady(SRBunion* srb) {
    return guarded(kCaughtFailure, [&] {
        startCommand(srb, 6, op::TEST_UNIT_READY);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t Rezero(SRBunion* srb) {
    return guarded(kCaughtFailure, [&] {
        startCommand(srb, 6, op::REZERO_UNIT);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t RequestSense(SRBunion* srb, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::REQUEST_SENSE);
        cdb[4] = kRequestSenseLength;
        lendBuffer(srb, kRequestSenseLength, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t Inquiry(SRBunion* srb, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::INQUIRY);
        cdb[4] = kInquiryLength;
        lendBuffer(srb, kInquiryLength, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t ModeSelect6(SRBunion* srb, uint8_t pf, uint8_t sp, uint8_t length,
                                  uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::MODE_SELECT_6);
        cdb[1] |= flagBit(pf, 4) | flagBit(sp, 0);
        cdb[4] = length;
        lendBuffer(srb, length, buffer);
        return CallAspi32(srb);
    });
}

// The extent list length goes to the device, but no extent list is ever attached.
KARVEL_EXPORT uint8_t Reserve(SRBunion* srb, uint8_t thirdParty, uint8_t thirdPartyId,
                              uint8_t extent, uint8_t reservationId, uint16_t extentListLength) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::RESERVE_6);
        cdb[1] |= reservationFlags(thirdParty, thirdPartyId, extent);
        cdb[2] = reservationId;
        karvel::put_be16(cdb + 3, extentListLength);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t Release(SRBunion* srb, uint8_t thirdParty, uint8_t thirdPartyId,
                              uint8_t extent, uint8_t reservationId) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::RELEASE_6);
        cdb[1] |= reservationFlags(thirdParty, thirdPartyId, extent);
        cdb[2] = reservationId;
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t ModeSense6(SRBunion* srb, uint8_t dbd, uint8_t pageControl,
                                 uint8_t pageCode, uint8_t allocationLength, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::MODE_SENSE_6);
        cdb[1] |= flagBit(dbd, 3);
        cdb[2] = pageField(pageControl, pageCode);
        cdb[4] = allocationLength;
        lendBuffer(srb, allocationLength, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t ReceiveDiagnostic(SRBunion* srb, uint16_t allocationLength,
                                        uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::RECEIVE_DIAGNOSTIC);
        karvel::put_be16(cdb + 3, allocationLength);
        lendBuffer(srb, allocationLength, buffer);
        return CallAspi32(srb);
    });
}

// Only PF and SelfTest: the device-offline and unit-offline bits stay zero.
KARVEL_EXPORT uint8_t SendDiagnostic(SRBunion* srb, uint8_t pf, uint8_t selfTest,
                                     uint16_t length, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 6, op::SEND_DIAGNOSTIC);
        cdb[1] |= flagBit(pf, 4) | flagBit(selfTest, 2);
        karvel::put_be16(cdb + 3, length);
        lendBuffer(srb, length, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t WriteBuffer(SRBunion* srb, uint8_t mode, uint8_t bufferId,
                                  uint32_t offset, uint32_t length, uint8_t* buffer) {
    // Modes 0-7, including the microcode downloads 4 and 5.
    return guarded(kCaughtFailure, [&] {
        return bufferCommand(srb, op::WRITE_BUFFER, mode & 0x07, bufferId, offset, length, buffer);
    });
}

KARVEL_EXPORT uint8_t ReadBuffer(SRBunion* srb, uint8_t mode, uint8_t bufferId, uint32_t offset,
                                 uint32_t allocationLength, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        return bufferCommand(srb, op::READ_BUFFER, mode & 0x03, bufferId, offset, allocationLength,
                             buffer);
    });
}

KARVEL_EXPORT uint8_t ChangeDefinition(SRBunion* srb, uint8_t save, uint8_t definitionParameter,
                                       uint8_t length, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 10, op::CHANGE_DEFINITION);
        cdb[2] = flagBit(save, 0);
        cdb[3] = definitionParameter & 0x7F;
        cdb[8] = length;
        lendBuffer(srb, length, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t ModeSelect10(SRBunion* srb, uint8_t pf, uint8_t sp, uint16_t length,
                                   uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 10, op::MODE_SELECT_10);
        cdb[1] |= flagBit(pf, 4) | flagBit(sp, 0);
        karvel::put_be16(cdb + 7, length);
        lendBuffer(srb, length, buffer);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t ModeSense10(SRBunion* srb, uint8_t dbd, uint8_t pageControl,
                                  uint8_t pageCode, uint16_t allocationLength, uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 10, op::MODE_SENSE_10);
        cdb[1] |= flagBit(dbd, 3);
        cdb[2] = pageField(pageControl, pageCode);
        karvel::put_be16(cdb + 7, allocationLength);
        lendBuffer(srb, allocationLength, buffer);
        return CallAspi32(srb);
    });
}
