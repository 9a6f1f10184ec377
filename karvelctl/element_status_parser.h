// SPDX-License-Identifier: MIT
// The elements in a READ ELEMENT STATUS answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "changer_inventory.h"

namespace karvel::ctl {

// Appends to into, in the order reported, every descriptor of type in the first length bytes
// of data whose address lies in [first, end); the header's byte counts and each page's
// descriptor length are honoured, and a report cut short keeps only whole descriptors.
// Returns how many it appended.
size_t parse_element_status(const uint8_t* data, size_t length, ElementType type, uint32_t first, uint32_t end,
                            std::vector<Element>& into);

}  // namespace karvel::ctl
