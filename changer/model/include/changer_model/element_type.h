// SPDX-License-Identifier: MIT
// The element type codes of READ ELEMENT STATUS (byte 1 of its CDB, byte 0 of a status page).
#pragma once

#include <cstdint>

namespace karvel::model {

// The kind of element a descriptor or a request is about.
enum class ElementType : uint8_t {
    transport = 1,
    storage = 2,
    importExport = 3,
    dataTransfer = 4,
};

// Returns the code of type as READ ELEMENT STATUS carries it.
constexpr uint8_t elementTypeCode(ElementType type) {
    return static_cast<uint8_t>(type);
}

}  // namespace karvel::model
