// SPDX-License-Identifier: MIT
// SHA-256 (through Nettle), for the digest of a downloaded firmware image.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace aspi::sim {

// Returns the SHA-256 digest of bytes as 64 lower-case hex digits.
std::string sha256Hex(std::span<const uint8_t> bytes);

}  // namespace aspi::sim
