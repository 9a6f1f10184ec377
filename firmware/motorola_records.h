// SPDX-License-Identifier: MIT
// Motorola S-records: S0 header, S1 and S2 data, S9 end. S3, S5, S7 and S8 are not read.
#pragma once

#include <string_view>

#include "firmware/firmware_image.h"
#include "firmware/line_result.h"

namespace karvel::firmware {

// Parses one S-record (text up to its end or its first zero byte, no line end) and stores
// its data in image. Returns the line's result; on any result but accepted nothing is stored.
LineResult ParseMotorolaLine(std::string_view line, FirmwareImage& image);

}  // namespace karvel::firmware
