// SPDX-License-Identifier: MIT
#include "intel_hex_records.h"

#include <array>

#include "byte_order.h"
#include "hex_pairs.h"

namespace karvel::firmware {

namespace {
constexpr uint8_t kData = 0x00;
constexpr uint8_t kEndOfFile = 0x01;
constexpr uint8_t kExtendedSegment = 0x02;
}  // namespace

LineResult ParseHexLine(std::string_view line, FirmwareImage& image, HexLoadState& state) {
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] == '\n') return LineResult::accepted;
    if (line[0] != ':') return LineResult::notARecord;

    // count, address (2), type, data (count), checksum; the checksum makes the sum 0.
    std::array<uint8_t, 5 + 255> record{};
    if (line.size() < 3) return LineResult::shorterThanCount;
    const std::size_t count = HexPairToByte(line[1], line[2]);
    const auto bytes = std::span(record).first(count + 5);
    if (!DecodeHexPairs(line, 1, bytes)) return LineResult::shorterThanCount;
    if (ByteSum(bytes) != 0) return LineResult::checksumError;

    const uint16_t address = get_be16(&bytes[1]);
    const auto data = bytes.subspan(4, count);
    switch (bytes[3]) {
    case kData:
        return image.store(int64_t{state.segmentBase} * 16 + address, data)
                   ? LineResult::accepted : LineResult::outsideImage;
    case kEndOfFile:
        return count == 0 && address == 0 ? LineResult::accepted : LineResult::notARecord;
    case kExtendedSegment:
        if (count < 2) return LineResult::notARecord;  // no segment value to take
        state.segmentBase = int32_t{get_be16(&data[0])} - kImageSegment;
        return LineResult::accepted;
    default:
        return LineResult::unsupportedType;
    }
}

}  // namespace karvel::firmware
