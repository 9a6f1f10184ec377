// SPDX-License-Identifier: MIT
// Intel hex records: 00 data, 01 end of file, 02 extended segment address. 03, 04, 05 are not read.
#pragma once

#include <cstdint>
#include <string_view>

#include "firmware/firmware_image.h"
#include "firmware/line_result.h"

namespace karvel::firmware {

// The segment of a type-02 record minus this lands at image offset 0: the image covers the
// physical addresses C0000h-DFFFFh.
inline constexpr int32_t kImageSegment = 0xC000;

// State of one Intel hex load: the segment base (segment minus C000h) that type-02 records set.
// Each load starts with its own, at 0, so an earlier file cannot move a later one's data.
struct HexLoadState {
    int32_t segmentBase = 0;
};

// Parses one Intel hex record (text up to its end or its first zero byte, no line end),
// stores its data in image and follows type-02 records in state. Returns the line's result;
// on any result but accepted nothing is stored and state is unchanged.
LineResult ParseHexLine(std::string_view line, FirmwareImage& image, HexLoadState& state);

}  // namespace karvel::firmware
