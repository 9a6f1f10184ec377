// SPDX-License-Identifier: MIT
#include "firmware/load_outcome.h"

#include <array>

#include "firmware/firmware_image.h"

namespace karvel::firmware {

namespace {

constexpr std::array kTexts{
    LoadFaultText{LoadFault::none, "loaded"},
    LoadFaultText{LoadFault::notARecord, "not a record"},
    LoadFaultText{LoadFault::checksumError, "checksum error"},
    LoadFaultText{LoadFault::unsupportedType, "unsupported record type"},
    LoadFaultText{LoadFault::shorterThanCount, "record shorter than its count"},
    LoadFaultText{LoadFault::outsideImage, "data outside the image"},
    LoadFaultText{LoadFault::emptyFile, "empty file"},
    LoadFaultText{LoadFault::longerThanImage, "file longer than the image (131072 bytes)"},
    LoadFaultText{LoadFault::unknownExtension, "unknown extension (not BIN, MOT or HEX)"},
    LoadFaultText{LoadFault::cannotOpen, "cannot open"},
    LoadFaultText{LoadFault::cannotRead, "cannot read"},
};
static_assert(kFirmwareImageSize == 131072, "the text above names the image size");

}  // namespace

std::span<const LoadFaultText> LoadFaultTexts() { return kTexts; }

LoadFault FaultOfLine(LineResult result) {
    switch (result) {
    case LineResult::accepted: return LoadFault::none;
    case LineResult::notARecord: return LoadFault::notARecord;
    case LineResult::checksumError: return LoadFault::checksumError;
    case LineResult::unsupportedType: return LoadFault::unsupportedType;
    case LineResult::shorterThanCount: return LoadFault::shorterThanCount;
    case LineResult::outsideImage: return LoadFault::outsideImage;
    }
    return LoadFault::notARecord;
}

std::string Describe(const LoadOutcome& outcome) {
    std::string text;
    if (outcome.line > 0) text = "line " + std::to_string(outcome.line) + ": ";
    for (const auto& entry : kTexts)
        if (entry.fault == outcome.fault) text += entry.text;
    if (!outcome.systemReason.empty()) text += ": " + outcome.systemReason;
    return text;
}

}  // namespace karvel::firmware
