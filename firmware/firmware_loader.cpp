// SPDX-License-Identifier: MIT
#include "firmware/firmware_loader.h"

#include "firmware/binary_load.h"
#include "firmware/firmware_file.h"

namespace karvel::firmware {

LoadOutcome LoadFirmwareFile(const std::string& path, FirmwareFormat format, FirmwareImage& image,
                             const LineObserver& observer) {
    CFirmwareFile file;
    if (!file.Open(path)) return {LoadFault::cannotOpen, 0, file.SystemReason()};
    switch (format) {
    case FirmwareFormat::binary: return LoadBinaryFirmware(file, image);
    case FirmwareFormat::motorola: return LoadTextFirmware(file, image, TextFormat::motorola, observer);
    case FirmwareFormat::intelHex: return LoadTextFirmware(file, image, TextFormat::intelHex, observer);
    case FirmwareFormat::unknown: break;
    }
    return {LoadFault::unknownExtension, 0, {}};
}

}  // namespace karvel::firmware
