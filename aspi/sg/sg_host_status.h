// SPDX-License-Identifier: MIT
// The kernel's host byte and driver byte of an SG_IO reply, read as a HostCondition.
#pragma once

#include <cstdint>
#include <span>

#include "command_outcome.h"

namespace aspi {

struct LinuxHostByte {
    uint8_t value;  // DID_* of the kernel's SCSI midlayer
    const char* name;
    HostCondition condition;
};

// The host bytes with a meaning of their own; any other is otherFailure. Tests read it too.
std::span<const LinuxHostByte> linuxHostBytes();

// Returns the condition of an SG_IO reply with these host_status and driver_status bytes.
HostCondition sgHostCondition(uint16_t hostStatus, uint16_t driverStatus);

}  // namespace aspi
