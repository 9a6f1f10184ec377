// SPDX-License-Identifier: MIT
// The 128 KiB block that New Firmware sends to the changer in one WRITE BUFFER.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace karvel::firmware {

inline constexpr std::size_t kFirmwareImageSize = 0x20000;

class FirmwareImage {
public:
    // Creates the image with every byte FFh, the value of flash that no record writes.
    FirmwareImage();

    // Copies data to image offset `offset` and returns true; returns false and writes nothing
    // when any byte would fall outside the image (a negative offset included). No data
    // stores nothing and fits at any offset.
    bool store(int64_t offset, std::span<const uint8_t> data);

    // The image's bytes, owned by the image.
    std::span<uint8_t, kFirmwareImageSize> bytes() { return std::span<uint8_t, kFirmwareImageSize>(m_bytes); }
    std::span<const uint8_t, kFirmwareImageSize> bytes() const {
        return std::span<const uint8_t, kFirmwareImageSize>(m_bytes);
    }

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace karvel::firmware
