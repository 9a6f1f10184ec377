// SPDX-License-Identifier: MIT
// Writes well-formed S1, S2 and Intel hex records, independently of the parsers, for the
// randomized tests and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace karvel::firmware::testing {

// Returns "S1"/"S2" (addressBytes 2 or 3) with address, data and checksum, upper-case hex.
std::string MotorolaRecord(int addressBytes, uint32_t address, std::span<const uint8_t> data);

// Returns an Intel hex record of type with 16-bit address and data, upper-case hex.
std::string IntelHexRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data);

}  // namespace karvel::firmware::testing
