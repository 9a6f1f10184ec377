// SPDX-License-Identifier: MIT
#include "changer_model/element_status.h"

#include <algorithm>
#include <string_view>

#include "byte_order.h"

namespace karvel::model {

namespace {

constexpr size_t kDescriptorBaseLength = 12;  // up to the source address
constexpr size_t kVolumeTagLength = 36;       // 32 bytes of identifier, 2 reserved, 2 of sequence number
constexpr size_t kFixedStride = 16;
constexpr size_t kFixedHeadersLength = 16;
constexpr uint8_t kPrimaryVolumeTag = 0x80;
constexpr uint8_t kAlternateVolumeTag = 0x40;

// Returns the tag field at offset of bytes, or nothing when it does not lie inside them.
std::optional<VolumeTagField> tagFieldAt(std::span<const uint8_t> bytes, size_t offset) {
    if (bytes.size() < offset + kVolumeTagLength)
        return std::nullopt;
    VolumeTagField field;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), kVolumeIdentifierLength, field.identifier.begin());
    field.sequence = get_be16(bytes.data() + offset + 34);
    return field;
}

}  // namespace

std::optional<std::string> trimmedVolumeIdentifier(const VolumeTagField& field) {
    std::string text(reinterpret_cast<const char*>(field.identifier.data()), field.identifier.size());
    const size_t last = text.find_last_not_of(std::string_view(" \0", 2));
    if (last == std::string::npos)
        return std::nullopt;
    text.resize(last + 1);
    return text.substr(text.find_first_not_of(' '));
}

ElementDescriptor readElementDescriptor(std::span<const uint8_t> bytes, ElementType type, bool primaryTag,
                                        bool alternateTag) {
    ElementDescriptor d;
    d.type = type;
    const auto byte = [&](size_t i) -> uint8_t { return i < bytes.size() ? bytes[i] : 0; };
    d.address = static_cast<uint16_t>(byte(0) << 8 | byte(1));
    d.full = (byte(2) & 0x01) != 0;
    d.importExport = (byte(2) & 0x02) != 0;
    d.except = (byte(2) & 0x04) != 0;
    d.access = (byte(2) & 0x08) != 0;
    d.asc = byte(4);
    d.ascq = byte(5);
    d.sourceValid = (byte(9) & 0x80) != 0;
    d.invert = (byte(9) & 0x40) != 0;
    d.source = static_cast<uint16_t>(byte(10) << 8 | byte(11));
    size_t tag = kDescriptorBaseLength;
    if (primaryTag) {
        d.volumeTagRaw = tagFieldAt(bytes, tag);
        if (d.volumeTagRaw)
            d.volumeTag = trimmedVolumeIdentifier(*d.volumeTagRaw);
        tag += kVolumeTagLength;
    }
    if (alternateTag) {
        d.alternateVolumeTagRaw = tagFieldAt(bytes, tag);
        if (d.alternateVolumeTagRaw)
            d.alternateVolumeTag = trimmedVolumeIdentifier(*d.alternateVolumeTagRaw);
    }
    return d;
}

size_t readElementStatus(std::span<const uint8_t> data, size_t length, ElementType type, uint32_t first,
                         uint32_t end, std::vector<ElementDescriptor>& into) {
    length = std::min(length, data.size());
    if (length < kElementStatusHeaderLength)
        return 0;
    const size_t reportEnd = std::min(length, kElementStatusHeaderLength + size_t{get_be24(data.data() + 5)});
    size_t appended = 0;
    size_t page = kElementStatusHeaderLength;
    while (page + kElementStatusPageHeaderLength <= reportEnd) {
        const uint8_t* header = data.data() + page;
        const bool primaryTag = (header[1] & kPrimaryVolumeTag) != 0;
        const bool alternateTag = (header[1] & kAlternateVolumeTag) != 0;
        const size_t descriptorLength = get_be16(header + 2);
        const size_t pageEnd =
            std::min(reportEnd, page + kElementStatusPageHeaderLength + size_t{get_be24(header + 5)});
        const size_t needed = kDescriptorBaseLength + (primaryTag ? kVolumeTagLength : 0);
        if (descriptorLength < needed)
            break;  // no descriptor of this page could be read, nor could the next page be found
        if ((header[0] & 0x0F) == elementTypeCode(type)) {
            for (size_t d = page + kElementStatusPageHeaderLength; d + descriptorLength <= pageEnd;
                 d += descriptorLength) {
                const std::span<const uint8_t> bytes = data.subspan(d, descriptorLength);
                const uint16_t address = get_be16(bytes.data());
                if (address < first || address >= end)
                    continue;
                into.push_back(readElementDescriptor(bytes, type, primaryTag, alternateTag));
                ++appended;
            }
        }
        page = pageEnd;
    }
    return appended;
}

std::optional<ElementDescriptor> fixedStrideDescriptor(std::span<const uint8_t> data, size_t length, size_t index,
                                                       ElementType type) {
    length = std::min(length, data.size());
    if (index >= (length - std::min(length, kFixedHeadersLength)) / kFixedStride)
        return std::nullopt;
    return readElementDescriptor(data.subspan(kFixedHeadersLength + kFixedStride * index, kFixedStride), type, false,
                                 false);
}

}  // namespace karvel::model
