// SPDX-License-Identifier: MIT
// Reading an S-record or Intel hex file line by line into a firmware image.
#pragma once

#include <cstdint>
#include <functional>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/load_outcome.h"

namespace karvel::firmware {

enum class TextFormat : uint8_t { motorola, intelHex };

// Called with the number of each line (1 for the first) after it is read and before it is
// parsed, so that the caller can show which line is being read.
using LineObserver = std::function<void(int32_t line)>;

// Reads file line by line and parses each line into image with the format's parser, until
// the end of the file (empty lines are counted and skipped). Returns none then; otherwise
// the first fault and the number of its line (reading stops there). observer may be empty.
LoadOutcome LoadTextFirmware(CFirmwareFile& file, FirmwareImage& image, TextFormat format,
                             const LineObserver& observer = {});

}  // namespace karvel::firmware
