// SPDX-License-Identifier: MIT
// The elements in a READ ELEMENT STATUS answer: an 8-byte header, then pages of one element
// type each (an 8-byte page header, then descriptors of the length it states).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "changer_model/element_type.h"

namespace karvel::model {

inline constexpr size_t kElementStatusHeaderLength = 8;      // the report's header
inline constexpr size_t kElementStatusPageHeaderLength = 8;  // each page's header
inline constexpr size_t kVolumeIdentifierLength = 32;        // a volume tag's identifier

// A volume tag field as the descriptor carries it: 32 bytes of identifier (blanks and all),
// two reserved bytes, a 16-bit sequence number.
struct VolumeTagField {
    std::array<uint8_t, kVolumeIdentifierLength> identifier{};
    uint16_t sequence = 0;
};

// One element descriptor's fields.
struct ElementDescriptor {
    ElementType type = ElementType::storage;
    uint16_t address = 0;
    bool full = false;          // byte 2 bit 0
    bool importExport = false;  // byte 2 bit 1: placed by the operator (ports)
    bool except = false;        // byte 2 bit 2: abnormal state, reason in asc/ascq
    bool access = false;        // byte 2 bit 3
    uint8_t asc = 0;            // byte 4
    uint8_t ascq = 0;           // byte 5
    bool sourceValid = false;   // byte 9 bit 7
    bool invert = false;        // byte 9 bit 6
    uint16_t source = 0;        // bytes 10-11, meaningful only when sourceValid
    // The primary volume tag: the field as sent (none when the descriptor has no such field),
    // and its identifier without the blanks and NULs that pad it (none when nothing is left).
    std::optional<VolumeTagField> volumeTagRaw;
    std::optional<std::string> volumeTag;
    // The alternate volume tag, likewise.
    std::optional<VolumeTagField> alternateVolumeTagRaw;
    std::optional<std::string> alternateVolumeTag;
};

// Returns the fields of the descriptor in bytes (each field read only when it lies inside
// bytes; the tag fields that the page header announces follow byte 11, primary first).
ElementDescriptor readElementDescriptor(std::span<const uint8_t> bytes, ElementType type, bool primaryTag,
                                        bool alternateTag);

// Returns the identifier of a volume tag without the blanks and NULs that pad it (leading
// blanks too), or nothing when nothing is left.
std::optional<std::string> trimmedVolumeIdentifier(const VolumeTagField& field);

// Appends to into, in the order reported, every descriptor of type in the first length bytes
// of data whose address lies in [first, end); the header's byte counts and each page's
// descriptor length are honoured, and a report cut short keeps only whole descriptors.
// Returns how many it appended (at most one per 12 bytes of data).
size_t readElementStatus(std::span<const uint8_t> data, size_t length, ElementType type, uint32_t first,
                         uint32_t end, std::vector<ElementDescriptor>& into);

// Returns descriptor index of a report read at a fixed 16-byte stride after 16 bytes of
// headers, no header consulted (for requests sized to hold exactly that), or nothing when it
// does not lie inside the first length bytes of data.
std::optional<ElementDescriptor> fixedStrideDescriptor(std::span<const uint8_t> data, size_t length, size_t index,
                                                       ElementType type);

}  // namespace karvel::model
