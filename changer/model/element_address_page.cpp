// SPDX-License-Identifier: MIT
#include "changer_model/element_address_page.h"

#include <algorithm>

#include "byte_order.h"

namespace karvel::model {

namespace {

constexpr size_t kModeHeaderLength = 4;
constexpr size_t kPageHeaderLength = 2;
constexpr size_t kAssignmentBytes = 16;  // eight 16-bit values

}  // namespace

ElementAddressPage readElementAddressPage(std::span<const uint8_t> data, size_t length) {
    ElementAddressPage page;
    length = std::min(length, data.size());
    if (length < kModeHeaderLength)
        return page;
    // Byte 0 counts the bytes after itself: a changer that returns less than was asked for
    // leaves the rest of the buffer as the caller cleared it.
    const size_t returned = std::min(length, size_t{data[0]} + 1);
    const size_t start = kModeHeaderLength + size_t{data[3]};
    if (start + kPageHeaderLength + kAssignmentBytes > returned) {
        page.fault = ElementAddressPageFault::cutShort;
        return page;
    }
    page.pageCode = data[start];
    const uint8_t* values = data.data() + start + kPageHeaderLength;
    const auto at = [&](size_t k) { return get_be16(values + 2 * k); };
    page.assignment = ElementAddressAssignment{at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)};
    page.fault = (page.pageCode & 0x3F) == kElementAddressPageCode ? ElementAddressPageFault::none
                                                                    : ElementAddressPageFault::otherPage;
    return page;
}

const char* elementAddressPageFaultText(ElementAddressPageFault fault) {
    switch (fault) {
    case ElementAddressPageFault::none:
        return "";
    case ElementAddressPageFault::noHeader:
        return "the mode data is shorter than its header";
    case ElementAddressPageFault::cutShort:
        return "the element address assignment page does not fit in the mode data";
    case ElementAddressPageFault::otherPage:
        return "the changer answered with another mode page than 1Dh";
    }
    return "";
}

}  // namespace karvel::model
