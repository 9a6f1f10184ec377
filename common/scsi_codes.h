// SPDX-License-Identifier: MIT
// Names for the SCSI operation codes, status bytes and sense keys this system uses.
#pragma once

#include <cstdint>

namespace karvel::scsi {

enum Opcode : uint8_t {
    TEST_UNIT_READY = 0x00,
    REZERO_UNIT = 0x01,
    REQUEST_SENSE = 0x03,
    INITIALIZE_ELEMENT_STATUS = 0x07,
    INQUIRY = 0x12,
    MODE_SELECT_6 = 0x15,
    RESERVE_6 = 0x16,
    RELEASE_6 = 0x17,
    MODE_SENSE_6 = 0x1A,
    RECEIVE_DIAGNOSTIC = 0x1C,
    SEND_DIAGNOSTIC = 0x1D,
    POSITION_TO_ELEMENT = 0x2B,
    WRITE_BUFFER = 0x3B,
    READ_BUFFER = 0x3C,
    CHANGE_DEFINITION = 0x40,
    MODE_SELECT_10 = 0x55,
    MODE_SENSE_10 = 0x5A,
    MOVE_MEDIUM = 0xA5,
    EXCHANGE_MEDIUM = 0xA6,
    READ_ELEMENT_STATUS = 0xB8,
};

enum TargetStatus : uint8_t {
    GOOD = 0x00,
    CHECK_CONDITION = 0x02,
    BUSY = 0x08,
    RESERVATION_CONFLICT = 0x18,
};

enum SenseKey : uint8_t {
    NO_SENSE = 0x0,
    RECOVERED_ERROR = 0x1,
    NOT_READY = 0x2,
    MEDIUM_ERROR = 0x3,
    HARDWARE_ERROR = 0x4,
    ILLEGAL_REQUEST = 0x5,
    UNIT_ATTENTION = 0x6,
    ABORTED_COMMAND = 0xB,
};

// Peripheral device type of a medium changer in INQUIRY byte 0 and SRB_DeviceType.
inline constexpr uint8_t kMediumChangerType = 0x08;

}  // namespace karvel::scsi
