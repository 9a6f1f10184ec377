// SPDX-License-Identifier: MIT
#include "command_timeout.h"

#include <array>

#include "scsi_codes.h"

namespace aspi {

namespace {

using namespace std::chrono_literals;
namespace op = karvel::scsi;

// INITIALIZE ELEMENT STATUS WITH RANGE has no data phase, so it reaches a transport too.
constexpr uint8_t kInitializeElementStatusWithRange = 0xE7;

constexpr std::array kSlow{
    SlowCommand{op::REZERO_UNIT, 300s, "re-homes the whole mechanism"},
    SlowCommand{op::INITIALIZE_ELEMENT_STATUS, 1200s, "visits every element of a large changer"},
    SlowCommand{op::SEND_DIAGNOSTIC, 600s, "a self-test exercises the mechanism"},
    SlowCommand{op::POSITION_TO_ELEMENT, 300s, "moves the picker"},
    SlowCommand{op::WRITE_BUFFER, 600s, "a firmware download is written to flash"},
    SlowCommand{op::MOVE_MEDIUM, 300s, "carries a disc, possibly out of a drive that must eject it"},
    SlowCommand{op::EXCHANGE_MEDIUM, 300s, "two moves in one"},
    SlowCommand{op::READ_ELEMENT_STATUS, 120s, "may scan barcodes first"},
    SlowCommand{kInitializeElementStatusWithRange, 1200s, "visits a range of elements"},
};

}  // namespace

std::span<const SlowCommand> slowCommands() { return kSlow; }

std::chrono::seconds commandTimeout(uint8_t opcode) {
    for (const auto& entry : kSlow)
        if (entry.opcode == opcode) return entry.timeout;
    return kOrdinaryCommandTimeout;
}

}  // namespace aspi
