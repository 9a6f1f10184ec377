// SPDX-License-Identifier: MIT
// One firmware file loaded into an image with the loader of its format.
#pragma once

#include <string>

#include "firmware/firmware_format.h"
#include "firmware/firmware_image.h"
#include "firmware/load_outcome.h"
#include "firmware/text_load.h"

namespace karvel::firmware {

// Opens path and loads it into image as format: the binary load, or the text load with the
// S-record or Intel hex parser (observer sees each line's number before it is parsed).
// Returns the outcome: cannotOpen when the file cannot be opened, unknownExtension for the
// unknown format (after opening, as New Firmware does). The file is closed on return.
LoadOutcome LoadFirmwareFile(const std::string& path, FirmwareFormat format, FirmwareImage& image,
                             const LineObserver& observer = {});

}  // namespace karvel::firmware
