// SPDX-License-Identifier: MIT
// Which way each operation code's data phase goes. One table for every transport:
// SG_IO and iSCSI need the direction, and an unknown code with data is refused
// rather than guessed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "transport.h"

namespace aspi {

struct OpcodeDirection {
    uint8_t opcode;
    DataDirection direction;
    const char* name;
};

// The table itself, in opcode order; tests and transports read it.
std::span<const OpcodeDirection> opcodeDirections();

// Returns the data direction of opcode, or nothing when the code is not in the table.
std::optional<DataDirection> directionOf(uint8_t opcode);

}  // namespace aspi
