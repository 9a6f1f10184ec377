// SPDX-License-Identifier: MIT
#include "motorola_records.h"

#include <array>

#include "byte_order.h"
#include "hex_pairs.h"

namespace karvel::firmware {

LineResult ParseMotorolaLine(std::string_view line, FirmwareImage& image) {
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] == '\n') return LineResult::accepted;
    if (line[0] != 'S') return LineResult::notARecord;

    // The count covers address, data and checksum; the checksum makes the sum FFh.
    std::array<uint8_t, 256> record{};
    if (line.size() < 4) return LineResult::shorterThanCount;
    const std::size_t length = std::size_t{HexPairToByte(line[2], line[3])} + 1;
    const auto bytes = std::span(record).first(length);
    if (!DecodeHexPairs(line, 2, bytes)) return LineResult::shorterThanCount;
    if (ByteSum(bytes) != 0xFF) return LineResult::checksumError;

    const std::size_t count = length - 1;
    switch (line[1]) {
    case '0':
    case '9':
        return LineResult::accepted;
    case '1':
        if (count < 4) return LineResult::accepted;  // an address at most, no data
        return image.store(get_be16(&bytes[1]), bytes.subspan(3, count - 3))
                   ? LineResult::accepted : LineResult::outsideImage;
    case '2':
        if (count < 5) return LineResult::accepted;
        return image.store(get_be24(&bytes[1]), bytes.subspan(4, count - 4))
                   ? LineResult::accepted : LineResult::outsideImage;
    default:
        return LineResult::unsupportedType;
    }
}

}  // namespace karvel::firmware
