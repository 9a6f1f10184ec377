// SPDX-License-Identifier: MIT
#include "sg_host_status.h"

#include <array>

namespace aspi {

namespace {

using enum HostCondition;

constexpr std::array kHostBytes{
    LinuxHostByte{0x00, "DID_OK", ok},
    LinuxHostByte{0x01, "DID_NO_CONNECT", selection_timeout},
    LinuxHostByte{0x02, "DID_BUS_BUSY", other_failure},
    LinuxHostByte{0x03, "DID_TIME_OUT", timed_out},
    LinuxHostByte{0x04, "DID_BAD_TARGET", selection_timeout},
    LinuxHostByte{0x05, "DID_ABORT", aborted},
    LinuxHostByte{0x06, "DID_PARITY", phase_failure},
    LinuxHostByte{0x07, "DID_ERROR", other_failure},
    LinuxHostByte{0x08, "DID_RESET", bus_free},
    LinuxHostByte{0x09, "DID_BAD_INTR", phase_failure},
    LinuxHostByte{0x0E, "DID_TRANSPORT_DISRUPTED", bus_free},
    LinuxHostByte{0x0F, "DID_TRANSPORT_FAILFAST", bus_free},
};

// The driver byte's low nibble (the high nibble held suggestions in old kernels).
constexpr uint16_t kDriverMask = 0x0F;
constexpr uint16_t kDriverTimeout = 0x06;
constexpr uint16_t kDriverError = 0x04;
constexpr uint16_t kDriverInvalid = 0x05;
constexpr uint16_t kDriverHard = 0x07;

}  // namespace

std::span<const LinuxHostByte> linux_host_bytes() { return kHostBytes; }

HostCondition sg_host_condition(uint16_t hostStatus, uint16_t driverStatus) {
    HostCondition host = other_failure;
    for (const auto& entry : kHostBytes)
        if (entry.value == hostStatus) host = entry.condition;
    if (host != ok) return host;
    switch (driverStatus & kDriverMask) {
    case kDriverTimeout: return timed_out;
    case kDriverError:
    case kDriverInvalid:
    case kDriverHard: return other_failure;
    default: return ok;
    }
}

}  // namespace aspi
