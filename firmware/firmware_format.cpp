// SPDX-License-Identifier: MIT
#include "firmware/firmware_format.h"

#include <algorithm>
#include <array>

namespace karvel::firmware {

namespace {

struct ExtensionFormat {
    std::string_view upperExtension;
    FirmwareFormat format;
    std::string_view name;
};

constexpr std::array kFormats{
    ExtensionFormat{"BIN", FirmwareFormat::binary, "binary image"},
    ExtensionFormat{"MOT", FirmwareFormat::motorola, "Motorola S-records"},
    ExtensionFormat{"HEX", FirmwareFormat::intelHex, "Intel hex"},
};

}  // namespace

std::string FileExtension(std::string_view path) {
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

FirmwareFormat FormatForExtension(std::string_view extension) {
    std::string upper(extension);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    for (const auto& entry : kFormats)
        if (entry.upperExtension == upper) return entry.format;
    return FirmwareFormat::unknown;
}

std::string_view FormatName(FirmwareFormat format) {
    for (const auto& entry : kFormats)
        if (entry.format == format) return entry.name;
    return "unknown format";
}

}  // namespace karvel::firmware
