// SPDX-License-Identifier: MIT
#include "sg_host_status.h"

#include <array>

namespace aspi {

namespace {

using enum HostCondition;

constexpr std::array kHostBytes{
    LinuxHostByte{0x00, "DID_OK", ok},
    LinuxHostByte{0x01, "DID_NO_CONNECT", selectionTimeout},
    LinuxHostByte{0x02, "DID_BUS_BUSY", otherFailure},
    LinuxHostByte{0x03, "DID_TIME_OUT", timedOut},
    LinuxHostByte{0x04, "DID_BAD_TARGET", selectionTimeout},
    LinuxHostByte{0x05, "DID_ABORT", aborted},
    LinuxHostByte{0x06, "DID_PARITY", phaseFailure},
    LinuxHostByte{0x07, "DID_ERROR", otherFailure},
    LinuxHostByte{0x08, "DID_RESET", busFree},
    LinuxHostByte{0x09, "DID_BAD_INTR", phaseFailure},
    LinuxHostByte{0x0E, "DID_TRANSPORT_DISRUPTED", busFree},
    LinuxHostByte{0x0F, "DID_TRANSPORT_FAILFAST", busFree},
};

// The driver byte's low nibble (the high nibble held suggestions in old kernels).
constexpr uint16_t kDriverMask = 0x0F;
constexpr uint16_t kDriverTimeout = 0x06;
constexpr uint16_t kDriverError = 0x04;
constexpr uint16_t kDriverInvalid = 0x05;
constexpr uint16_t kDriverHard = 0x07;

}  // namespace

std::span<const LinuxHostByte> linuxHostBytes() { return kHostBytes; }

HostCondition sgHostCondition(uint16_t hostStatus, uint16_t driverStatus) {
    HostCondition host = otherFailure;
    for (const auto& entry : kHostBytes)
        if (entry.value == hostStatus) host = entry.condition;
    if (host != ok) return host;
    switch (driverStatus & kDriverMask) {
    case kDriverTimeout: return timedOut;
    case kDriverError:
    case kDriverInvalid:
    case kDriverHard: return otherFailure;
    default: return ok;
    }
}

}  // namespace aspi
