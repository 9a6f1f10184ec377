// SPDX-License-Identifier: MIT
#include "sha256.h"

#include <array>

#include <nettle/sha2.h>

namespace aspi::sim {

std::string sha256Hex(std::span<const uint8_t> bytes) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    std::array<uint8_t, SHA256_DIGEST_SIZE> digest{};
    sha256_digest(&context, digest.size(), digest.data());

    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * digest.size());
    for (uint8_t byte : digest) {
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace aspi::sim
