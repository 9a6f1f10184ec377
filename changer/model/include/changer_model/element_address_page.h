// SPDX-License-Identifier: MIT
// The element address assignment page (1Dh) in a MODE SENSE(6) answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "changer_model/changer_config.h"

namespace karvel::model {

inline constexpr uint8_t kElementAddressPageCode = 0x1D;  // the page MODE SENSE asks for

// Why the eight values could not be taken, or that they were.
enum class ElementAddressPageFault : uint8_t {
    none,
    noHeader,   // fewer bytes than the 4-byte mode header
    cutShort,   // the values end beyond the bytes the changer returned
    otherPage,  // the values are there, but under another page code
};

// What readElementAddressPage found; a value the caller owns.
struct ElementAddressPage {
    ElementAddressPageFault fault = ElementAddressPageFault::noHeader;
    uint8_t pageCode = 0;  // the page's first byte, saved-page bit included; 0 without a page
    ElementAddressAssignment assignment;  // the values read; the defaults when valuesRead() is false

    // Returns whether the eight values lie inside the answer (whatever the page code).
    bool valuesRead() const {
        return fault == ElementAddressPageFault::none || fault == ElementAddressPageFault::otherPage;
    }
};

// Returns page 1Dh of a MODE SENSE(6) answer. Only the first length bytes of data count
// (those the caller asked for), and of them only the mode data length (byte 0) plus 1; the
// block descriptors (byte 3 their length) are skipped. Reads nothing outside data.
ElementAddressPage readElementAddressPage(std::span<const uint8_t> data, size_t length);

// Returns a sentence for a message saying why the page is unusable (empty for none); static text.
const char* elementAddressPageFaultText(ElementAddressPageFault fault);

}  // namespace karvel::model
