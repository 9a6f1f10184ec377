// SPDX-License-Identifier: MIT
#include "element_status_parser.h"

#include <algorithm>

#include "byte_order.h"

namespace karvel::ctl {

namespace {

constexpr size_t kHeaderLength = 8;
constexpr size_t kPageHeaderLength = 8;
constexpr size_t kDescriptorBaseLength = 12;  // up to the source address
constexpr size_t kVolumeTagLength = 36;       // 32 bytes of identifier, 4 of sequence number
constexpr size_t kVolumeIdentifierLength = 32;
constexpr uint8_t kPrimaryVolumeTag = 0x80;
constexpr uint8_t kFull = 0x01;
constexpr uint8_t kSourceValid = 0x80;

// Returns the identifier of a volume tag without the blanks and NULs that pad it, or nothing
// when nothing is left.
std::optional<std::string> volumeIdentifier(const uint8_t* tag) {
    std::string text(reinterpret_cast<const char*>(tag), kVolumeIdentifierLength);
    const size_t last = text.find_last_not_of(std::string(" \0", 2));
    if (last == std::string::npos)
        return std::nullopt;
    text.resize(last + 1);
    const size_t firstChar = text.find_first_not_of(' ');
    return text.substr(firstChar);
}

}  // namespace

size_t parse_element_status(const uint8_t* data, size_t length, ElementType type, uint32_t first, uint32_t end,
                            std::vector<Element>& into) {
    if (length < kHeaderLength)
        return 0;
    const size_t reportEnd = std::min(length, kHeaderLength + size_t{get_be24(data + 5)});
    size_t appended = 0;
    size_t page = kHeaderLength;
    while (page + kPageHeaderLength <= reportEnd) {
        const uint8_t* header = data + page;
        const bool volumeTags = (header[1] & kPrimaryVolumeTag) != 0;
        const size_t descriptorLength = get_be16(header + 2);
        const size_t pageEnd = std::min(reportEnd, page + kPageHeaderLength + size_t{get_be24(header + 5)});
        const size_t needed = kDescriptorBaseLength + (volumeTags ? kVolumeTagLength : 0);
        if (descriptorLength < needed)
            break;  // no descriptor of this page could be read, nor could the next page be found
        if ((header[0] & 0x0F) == static_cast<uint8_t>(type)) {
            for (size_t d = page + kPageHeaderLength; d + descriptorLength <= pageEnd; d += descriptorLength) {
                const uint8_t* descriptor = data + d;
                const uint16_t address = get_be16(descriptor);
                if (address < first || address >= end)
                    continue;
                Element element;
                element.type = type;
                element.address = address;
                element.full = (descriptor[2] & kFull) != 0;
                element.sourceValid = (descriptor[9] & kSourceValid) != 0;
                element.source = get_be16(descriptor + 10);
                if (volumeTags)
                    element.volumeTag = volumeIdentifier(descriptor + kDescriptorBaseLength);
                into.push_back(std::move(element));
                ++appended;
            }
        }
        page = pageEnd;
    }
    return appended;
}

}  // namespace karvel::ctl
