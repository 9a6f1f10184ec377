// SPDX-License-Identifier: MIT
// Reading a raw binary memory image into a firmware image.
#pragma once

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/load_outcome.h"

namespace karvel::firmware {

// Reads the whole file into image from offset 0; bytes past the file's end stay FFh.
// Returns emptyFile for an empty file and longerThanImage for one of more than 131072 bytes
// (a blank or cut image is never flashed), cannotRead on a read error.
LoadOutcome LoadBinaryFirmware(CFirmwareFile& file, FirmwareImage& image);

}  // namespace karvel::firmware
