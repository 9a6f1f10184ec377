// SPDX-License-Identifier: MIT
#include "record_writer.h"

#include <vector>

namespace karvel::firmware::testing {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

}  // namespace

std::string MotorolaRecord(int addressBytes, uint32_t address, std::span<const uint8_t> data) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(addressBytes + data.size() + 1)};
    for (int shift = 8 * (addressBytes - 1); shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(address >> shift));
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    bytes.push_back(static_cast<uint8_t>(~sum));
    return std::string("S") + (addressBytes == 2 ? '1' : '2') + Hex(bytes);
}

std::string IntelHexRecord(uint8_t type, uint16_t address, std::span<const uint8_t> data) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                               static_cast<uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    bytes.push_back(static_cast<uint8_t>(-sum));
    return ":" + Hex(bytes);
}

}  // namespace karvel::firmware::testing
