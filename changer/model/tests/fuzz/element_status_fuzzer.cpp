// SPDX-License-Identifier: MIT
// libFuzzer target for a READ ELEMENT STATUS answer as a changer returns it. The first byte
// picks the element type asked for, the next four the address window [first, end); the rest
// is the answer. Every element taken must be of that type, inside the window, come from
// whole descriptors, and carry a trimmed, non-empty volume tag or none. The same answer read
// at the fixed stride (no header consulted) must yield exactly the descriptors inside it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "byte_order.h"
#include "changer_model/element_status.h"

using karvel::get_be16;
using namespace karvel::model;

namespace {

constexpr size_t kChoiceBytes = 5;
constexpr size_t kSmallestDescriptor = 12;
constexpr size_t kFixedHeaders = 16;
constexpr size_t kFixedStride = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kChoiceBytes) return 0;
    const auto type = static_cast<ElementType>(data[0] % 4 + 1);
    const uint32_t first = get_be16(data + 1);
    const uint32_t end = uint32_t{get_be16(data + 3)} + 1;
    const uint8_t* answer = data + kChoiceBytes;
    const size_t length = size - kChoiceBytes;

    std::vector<ElementDescriptor> elements(1);  // what was there before stays
    const size_t appended = readElementStatus(std::span<const uint8_t>(answer, length), length, type, first, end, elements);
    if (elements.size() != appended + 1 || (length >= 8 && appended > (length - 8) / kSmallestDescriptor)) std::abort();
    for (size_t i = 1; i < elements.size(); ++i) {
        const ElementDescriptor& element = elements[i];
        if (element.type != type || element.address < first || element.address >= end) std::abort();
        if (element.volumeTag) {
            const std::string& tag = *element.volumeTag;
            if (tag.empty() || tag.size() > 32 || tag.front() == ' ' || tag.back() == ' ' || tag.back() == '\0')
                std::abort();
        }
        if (element.volumeTag && !element.volumeTagRaw) std::abort();
        if (element.alternateVolumeTag && !element.alternateVolumeTagRaw) std::abort();
    }

    const size_t whole = (length - std::min(length, kFixedHeaders)) / kFixedStride;
    for (size_t index = 0; index <= whole; ++index)
        if (fixedStrideDescriptor(std::span<const uint8_t>(answer, length), length, index, type).has_value() !=
            (index < whole))
            std::abort();
    return 0;
}
