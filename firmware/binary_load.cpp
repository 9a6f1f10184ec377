// SPDX-License-Identifier: MIT
#include "firmware/binary_load.h"

#include <array>

namespace karvel::firmware {

LoadOutcome LoadBinaryFirmware(CFirmwareFile& file, FirmwareImage& image) {
    const std::size_t got = file.Read(image.bytes());
    std::array<uint8_t, 1> beyond{};
    const bool longer = got == kFirmwareImageSize && file.Read(beyond) != 0;
    if (file.Failed()) return {LoadFault::cannotRead, 0, file.SystemReason()};
    if (got == 0) return {LoadFault::emptyFile, 0, {}};
    if (longer) return {LoadFault::longerThanImage, 0, {}};
    return {};
}

}  // namespace karvel::firmware
