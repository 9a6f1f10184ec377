// SPDX-License-Identifier: MIT
// Hex text of S-records and Intel hex records turned into bytes, with their checksum sum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace karvel::firmware {

// Returns the value of one hex digit character. Never rejects a character: other
// characters give other values (G-Z give 0, '@' and P give 9, a space gives F0h), which is
// what the firmware files of the field have always been read with.
constexpr uint8_t HexDigitValue(char c) {
    const auto code = static_cast<uint8_t>(c);
    if (code <= '9') return static_cast<uint8_t>(code - '0');
    const auto upper = static_cast<uint8_t>(code & 0xCF);  // a-f become A-F
    if (upper <= 'F') return static_cast<uint8_t>(upper - ('A' - 10));
    return 0;
}

// HexDigitValue of every character code, so that decoding a line is one look-up per character.
inline constexpr std::array<uint8_t, 256> kHexDigitValues = [] {
    std::array<uint8_t, 256> values{};
    for (int code = 0; code < 256; ++code) values[code] = HexDigitValue(static_cast<char>(code));
    return values;
}();

// Returns the byte that the two characters spell, high digit first, by HexDigitValue. The
// high digit is shifted out of the way, the low one ORed in, so a low "digit" above Fh
// spills into the high half.
inline uint8_t HexPairToByte(char first, char second) {
    return static_cast<uint8_t>((kHexDigitValues[static_cast<uint8_t>(first)] << 4) |
                                kHexDigitValues[static_cast<uint8_t>(second)]);
}

// Decodes out.size() hex pairs from line, the first pair starting at character `first`.
// Returns false, leaving out unspecified, when the line ends before the last pair.
bool DecodeHexPairs(std::string_view line, std::size_t first, std::span<uint8_t> out);

// Returns the sum of the bytes modulo 256 (the record checksums are built on it).
uint8_t ByteSum(std::span<const uint8_t> bytes);

}  // namespace karvel::firmware
