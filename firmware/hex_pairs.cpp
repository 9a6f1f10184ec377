// SPDX-License-Identifier: MIT
#include "hex_pairs.h"

namespace karvel::firmware {

bool DecodeHexPairs(std::string_view line, std::size_t first, std::span<uint8_t> out) {
    if (first > line.size() || (line.size() - first) / 2 < out.size()) return false;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = HexPairToByte(line[first + 2 * i], line[first + 2 * i + 1]);
    return true;
}

uint8_t ByteSum(std::span<const uint8_t> bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    return sum;
}

}  // namespace karvel::firmware
