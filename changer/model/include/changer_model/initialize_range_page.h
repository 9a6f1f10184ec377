// SPDX-License-Identifier: MIT
// The vendor mode page 20h, sent by MODE SELECT(6) before INITIALIZE ELEMENT STATUS: the
// first and last element address the changer is to check.
#pragma once

#include <array>
#include <cstdint>

namespace karvel::model {

inline constexpr uint8_t kInitializeRangePageCode = 0x20;    // a vendor page
inline constexpr uint8_t kInitializeRangeListLength = 10;   // the parameter list's bytes

// Returns the parameter list: a mode header without block descriptors, then page 20h of
// length 4 holding start and stop, most significant byte first.
std::array<uint8_t, kInitializeRangeListLength> initializeRangeList(uint16_t start, uint16_t stop);

}  // namespace karvel::model
