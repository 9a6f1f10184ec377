// SPDX-License-Identifier: MIT
// The five SCSI-2 medium changer commands. Element addresses travel high byte first;
// the transport comes last in the parameters but first (bytes 2-3) in the CDBs.
#include "byte_order.h"
#include "command_frame.h"
#include "library_export.h"
#include <karvel/ostrik.h>
#include "scsi_codes.h"

namespace {

namespace op = karvel::scsi;
using karvel::guarded;
using karvel::kCaughtFailure;
using karvel::put_be16;
using karvel::startCommand;

}  // namespace

KARVEL_EXPORT uint8_t ExchangeMedium(SRBunion* srb, uint16_t source, uint16_t firstDestination,
                                     uint16_t secondDestination, uint16_t transport) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 12, op::EXCHANGE_MEDIUM);
        put_be16(cdb + 2, transport);
        put_be16(cdb + 4, source);
        put_be16(cdb + 6, firstDestination);
        put_be16(cdb + 8, secondDestination);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t InitializeElementStatus(SRBunion* srb) {
    return guarded(kCaughtFailure, [&] {
        startCommand(srb, 6, op::INITIALIZE_ELEMENT_STATUS);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t MoveMedium(SRBunion* srb, uint16_t source, uint16_t destination,
                                 uint16_t transport) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 12, op::MOVE_MEDIUM);
        put_be16(cdb + 2, transport);  // 0: the changer's default transport
        put_be16(cdb + 4, source);
        put_be16(cdb + 6, destination);
        return CallAspi32(srb);
    });
}

KARVEL_EXPORT uint8_t PositionToElement(SRBunion* srb, uint16_t destination, uint16_t transport) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 10, op::POSITION_TO_ELEMENT);
        put_be16(cdb + 2, transport);
        put_be16(cdb + 4, destination);
        return CallAspi32(srb);
    });
}

// The element type is OR-ed into byte 1 as given, unmasked; the CDB carries the low 24 bits
// of the allocation length while the data phase is the whole 32-bit value.
KARVEL_EXPORT uint8_t ReadElementStatus(SRBunion* srb, uint8_t elementType, uint16_t start,
                                        uint16_t count, uint32_t allocationLength,
                                        uint8_t* buffer) {
    return guarded(kCaughtFailure, [&] {
        uint8_t* cdb = startCommand(srb, 12, op::READ_ELEMENT_STATUS);
        cdb[1] |= elementType;
        put_be16(cdb + 2, start);
        put_be16(cdb + 4, count);
        karvel::put_be24(cdb + 7, allocationLength);
        karvel::lendBuffer(srb, allocationLength, buffer);
        return CallAspi32(srb);
    });
}
