// SPDX-License-Identifier: MIT
#include "opcode_direction.h"

#include <array>

#include "scsi_codes.h"

namespace aspi {

namespace {

using enum DataDirection;
namespace op = karvel::scsi;

constexpr std::array kTable{
    OpcodeDirection{op::TEST_UNIT_READY, none, "TEST UNIT READY"},
    OpcodeDirection{op::REZERO_UNIT, none, "REZERO UNIT"},
    OpcodeDirection{op::REQUEST_SENSE, in, "REQUEST SENSE"},
    OpcodeDirection{op::INITIALIZE_ELEMENT_STATUS, none, "INITIALIZE ELEMENT STATUS"},
    OpcodeDirection{op::INQUIRY, in, "INQUIRY"},
    OpcodeDirection{op::MODE_SELECT_6, out, "MODE SELECT(6)"},
    OpcodeDirection{op::RESERVE_6, none, "RESERVE"},
    OpcodeDirection{op::RELEASE_6, none, "RELEASE"},
    OpcodeDirection{op::MODE_SENSE_6, in, "MODE SENSE(6)"},
    OpcodeDirection{op::RECEIVE_DIAGNOSTIC, in, "RECEIVE DIAGNOSTIC RESULTS"},
    OpcodeDirection{op::SEND_DIAGNOSTIC, out, "SEND DIAGNOSTIC"},
    OpcodeDirection{op::POSITION_TO_ELEMENT, none, "POSITION TO ELEMENT"},
    OpcodeDirection{op::WRITE_BUFFER, out, "WRITE BUFFER"},
    OpcodeDirection{op::READ_BUFFER, in, "READ BUFFER"},
    OpcodeDirection{op::CHANGE_DEFINITION, out, "CHANGE DEFINITION"},
    OpcodeDirection{op::MODE_SELECT_10, out, "MODE SELECT(10)"},
    OpcodeDirection{op::MODE_SENSE_10, in, "MODE SENSE(10)"},
    OpcodeDirection{op::MOVE_MEDIUM, none, "MOVE MEDIUM"},
    OpcodeDirection{op::EXCHANGE_MEDIUM, none, "EXCHANGE MEDIUM"},
    OpcodeDirection{op::READ_ELEMENT_STATUS, in, "READ ELEMENT STATUS"},
};

}  // namespace

std::span<const OpcodeDirection> opcodeDirections() { return kTable; }

std::optional<DataDirection> directionOf(uint8_t opcode) {
    for (const auto& entry : kTable)
        if (entry.opcode == opcode) return entry.direction;
    return std::nullopt;
}

}  // namespace aspi
