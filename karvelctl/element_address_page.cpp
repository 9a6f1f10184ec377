// SPDX-License-Identifier: MIT
#include "element_address_page.h"

#include <algorithm>

#include "byte_order.h"

namespace karvel::ctl {

namespace {

constexpr uint8_t kElementAddressPage = 0x1D;
constexpr size_t kModeHeaderLength = 4;
constexpr size_t kPageHeaderLength = 2;
constexpr size_t kAssignmentBytes = 16;  // eight 16-bit values

}  // namespace

std::optional<ElementAddressAssignment> parse_element_address_page(const uint8_t* data, size_t length,
                                                                   std::string& why) {
    if (length < kModeHeaderLength) {
        why = "the mode data is shorter than its header";
        return std::nullopt;
    }
    // Byte 0 counts the bytes after itself; a device may send fewer than the buffer holds.
    const size_t sent = std::min(length, size_t{data[0]} + 1);
    const size_t page = kModeHeaderLength + size_t{data[3]};
    if (page + kPageHeaderLength + kAssignmentBytes > sent) {
        why = "the element address assignment page does not fit in the mode data";
        return std::nullopt;
    }
    if ((data[page] & 0x3F) != kElementAddressPage) {
        why = "the changer answered with another mode page than 1Dh";
        return std::nullopt;
    }
    const uint8_t* values = data + page + kPageHeaderLength;
    const auto at = [&](size_t k) { return get_be16(values + 2 * k); };
    return ElementAddressAssignment{at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)};
}

}  // namespace karvel::ctl
