// SPDX-License-Identifier: MIT
// libFuzzer target for both line parsers: the first byte picks the parser, the rest is the
// line. Beyond what the sanitizers catch, a refused line must leave image and state alone.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "intel_hex_records.h"
#include "motorola_records.h"

using namespace karvel::firmware;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FirmwareImage image;
    static FirmwareImage before;
    if (size == 0) return 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    HexLoadState state{static_cast<int32_t>(data[0] >> 1) * 0x40 - 0x100};
    const HexLoadState stateBefore = state;
    const LineResult result = (data[0] & 1) == 0 ? ParseMotorolaLine(line, image) : ParseHexLine(line, image, state);
    if (result == LineResult::accepted) {
        std::memcpy(before.bytes().data(), image.bytes().data(), kFirmwareImageSize);
        return 0;
    }
    if (std::memcmp(before.bytes().data(), image.bytes().data(), kFirmwareImageSize) != 0 ||
        state.segmentBase != stateBefore.segmentBase)
        std::abort();
    return 0;
}
