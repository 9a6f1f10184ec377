// SPDX-License-Identifier: MIT
// How long a real transport waits for one command before it gives up (status 02h, aborted).
// Changer mechanics take minutes for an inventory, a firmware flash or a move; everything
// else answers in seconds, and a dead device should not hold the caller longer than that.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace aspi {

struct SlowCommand {
    uint8_t opcode;
    std::chrono::seconds timeout;
    const char* why;
};

// The commands that get more than the ordinary timeout; tests read it too.
std::span<const SlowCommand> slowCommands();

// The timeout of every command not in the slow table.
inline constexpr std::chrono::seconds kOrdinaryCommandTimeout{30};

// Returns how long a command with this operation code may take.
std::chrono::seconds commandTimeout(uint8_t opcode);

}  // namespace aspi
