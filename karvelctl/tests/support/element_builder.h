// SPDX-License-Identifier: MIT
// Builds one parsed element for the tests that format a changer's inventory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "changer_inventory.h"

namespace karvel::ctl::test {

// Returns an element of type at address; a source makes its source address valid.
inline Element element(ElementType type, uint16_t address, bool full, std::optional<uint16_t> source = std::nullopt,
                       std::optional<std::string> tag = std::nullopt) {
    Element e;
    e.type = type;
    e.address = address;
    e.full = full;
    e.sourceValid = source.has_value();
    e.source = source.value_or(0);
    e.volumeTag = std::move(tag);
    return e;
}

}  // namespace karvel::ctl::test
