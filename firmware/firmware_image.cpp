// SPDX-License-Identifier: MIT
#include "firmware/firmware_image.h"

#include <algorithm>

namespace karvel::firmware {

FirmwareImage::FirmwareImage() : m_bytes(kFirmwareImageSize, 0xFF) {}

bool FirmwareImage::store(int64_t offset, std::span<const uint8_t> data) {
    if (data.empty()) return true;  // a record without data: nothing falls outside
    if (offset < 0 || offset > static_cast<int64_t>(kFirmwareImageSize) ||
        data.size() > kFirmwareImageSize - static_cast<std::size_t>(offset))
        return false;
    std::copy(data.begin(), data.end(), m_bytes.begin() + offset);
    return true;
}

}  // namespace karvel::firmware
