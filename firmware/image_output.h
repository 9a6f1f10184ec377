// SPDX-License-Identifier: MIT
// Writing a loaded image to a file so that the file is either whole or absent.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace karvel::firmware {

// Writes bytes to a temporary file beside path and renames it to path. Returns an empty
// string on success, else the system's reason (and no file is left behind).
std::string WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace karvel::firmware
