// SPDX-License-Identifier: MIT
// What a line parser says about one line of a firmware text file.
#pragma once

#include <cstdint>

namespace karvel::firmware {

enum class LineResult : uint8_t {
    accepted = 0x00,         // empty line, record without data, or data stored
    notARecord = 0xFF,       // no record mark; also an Intel hex end record with count or address
    checksumError = 0xFE,
    unsupportedType = 0xFD,
    shorterThanCount = 0xFC, // the count announces more characters than the line holds
    outsideImage = 0xFB,     // the record's data would fall outside the image
};

}  // namespace karvel::firmware
