// SPDX-License-Identifier: MIT
// The image a test expects: all FFh but for the bytes stored at one offset.
#pragma once

#include <cstdint>
#include <vector>

#include "firmware/firmware_image.h"

namespace karvel::firmware::testing {

struct StoredBytes {
    int64_t offset = 0;
    std::vector<uint8_t> bytes;  // empty: nothing stored
};

// Returns true when image holds exactly expected on a background of FFh.
inline bool HoldsOnly(const FirmwareImage& image, const StoredBytes& expected) {
    FirmwareImage wanted;
    wanted.store(expected.offset, expected.bytes);
    return std::equal(image.bytes().begin(), image.bytes().end(), wanted.bytes().begin());
}

}  // namespace karvel::firmware::testing
