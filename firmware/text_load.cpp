// SPDX-License-Identifier: MIT
#include "firmware/text_load.h"

#include <array>
#include <string_view>

#include "intel_hex_records.h"
#include "motorola_records.h"

namespace karvel::firmware {

LoadOutcome LoadTextFirmware(CFirmwareFile& file, FirmwareImage& image, TextFormat format,
                             const LineObserver& observer) {
    std::array<char, kLineBufferSize> line{};
    HexLoadState hexState;
    int32_t number = 0;
    for (;;) {
        const uint16_t length = file.ReadLine(line, kLineLimit);
        if (file.Failed()) return {LoadFault::cannotRead, number + 1, file.SystemReason()};
        // Only the end of the file ends the text: an empty line is counted and parsed (it
        // carries no record), so a blank line inside a file cannot cut its image short.
        if (file.AtEnd()) return {};
        ++number;
        if (observer) observer(number);
        const std::string_view text(line.data(), length);
        const LineResult result = format == TextFormat::motorola
                                      ? ParseMotorolaLine(text, image)
                                      : ParseHexLine(text, image, hexState);
        if (result != LineResult::accepted) return {FaultOfLine(result), number, {}};
    }
}

}  // namespace karvel::firmware
