// SPDX-License-Identifier: MIT
#include "changer_model/initialize_range_page.h"

#include <cstddef>

#include "byte_order.h"

namespace karvel::model {

namespace {

constexpr size_t kPageOffset = 4;  // after the 4-byte MODE SELECT(6) header
constexpr uint8_t kPageLength = 4;

}  // namespace

std::array<uint8_t, kInitializeRangeListLength> initializeRangeList(uint16_t start, uint16_t stop) {
    std::array<uint8_t, kInitializeRangeListLength> list{};
    list[kPageOffset] = kInitializeRangePageCode;  // the parameters-savable bit stays 0
    list[kPageOffset + 1] = kPageLength;
    put_be16(&list[kPageOffset + 2], start);
    put_be16(&list[kPageOffset + 4], stop);
    return list;
}

}  // namespace karvel::model
