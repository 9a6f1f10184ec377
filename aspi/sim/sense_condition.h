// SPDX-License-Identifier: MIT
// The conditions the simulated changer reports, as (sense key, ASC, ASCQ), and the
// fixed-format sense data that carries one.
#pragma once

#include <array>
#include <cstdint>

#include "scsi_codes.h"

namespace aspi::sim {

struct Condition {
    uint8_t key = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    bool operator==(const Condition&) const = default;
};

namespace condition {
using namespace karvel::scsi;
inline constexpr Condition kNoSense{NO_SENSE, 0x00, 0x00};
inline constexpr Condition kInvalidOpcode{ILLEGAL_REQUEST, 0x20, 0x00};
inline constexpr Condition kInvalidElement{ILLEGAL_REQUEST, 0x21, 0x01};
inline constexpr Condition kIllegalExchange{ILLEGAL_REQUEST, 0x21, 0x80};
inline constexpr Condition kInvalidField{ILLEGAL_REQUEST, 0x24, 0x00};
inline constexpr Condition kInvalidParameter{ILLEGAL_REQUEST, 0x26, 0x00};
inline constexpr Condition kDestinationFull{ILLEGAL_REQUEST, 0x3B, 0x0D};
inline constexpr Condition kSourceEmpty{ILLEGAL_REQUEST, 0x3B, 0x0E};
inline constexpr Condition kTransportFull{ILLEGAL_REQUEST, 0x3B, 0x80};
inline constexpr Condition kPowerOnReset{UNIT_ATTENTION, 0x29, 0x00};
// The state file cannot be read: the changer's non-volatile information is no good.
inline constexpr Condition kNonVolatileBad{HARDWARE_ERROR, 0x53, 0x87};
}  // namespace condition

inline constexpr size_t kSenseLength = 18;

// Returns fixed-format current sense data (response code 70h) for c.
inline std::array<uint8_t, kSenseLength> fixedSense(Condition c) {
    std::array<uint8_t, kSenseLength> sense{};
    sense[0] = 0x70;
    sense[2] = c.key & 0x0F;
    sense[7] = kSenseLength - 8;  // additional sense length
    sense[12] = c.asc;
    sense[13] = c.ascq;
    return sense;
}

}  // namespace aspi::sim
