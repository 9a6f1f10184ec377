// SPDX-License-Identifier: MIT
// Which loader a firmware file gets, chosen by its extension as New Firmware chooses it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace karvel::firmware {

enum class FirmwareFormat : uint8_t { binary, motorola, intelHex, unknown };

// Returns the characters after the last dot of the file name in path (not of a directory),
// without the dot; empty when the name has no dot.
std::string FileExtension(std::string_view path);

// Returns the format for an extension, compared after conversion to upper case with
// "BIN", "MOT" and "HEX"; unknown for anything else ("s19", "txt", "").
FirmwareFormat FormatForExtension(std::string_view extension);

// Returns a short name of the format for messages ("Motorola S-records").
std::string_view FormatName(FirmwareFormat format);

}  // namespace karvel::firmware
