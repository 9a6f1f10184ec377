// SPDX-License-Identifier: MIT
#include "fullness_records.h"

namespace karvel::ctl {

unsigned record_group_count(unsigned slotCount) {
    return (slotCount + kSlotsPerRecordGroup - 1) / kSlotsPerRecordGroup;
}

bool record_marks_full(std::span<const uint8_t, kRecordGroupBytes> group, unsigned offset) {
    return offset < kSlotsPerRecordGroup && (group[offset / 8] >> (7 - offset % 8)) & 1;
}

std::string format_records(const std::vector<bool>& full) {
    std::string text;
    for (size_t i = 0; i < full.size(); ++i)
        text += "Slot " + std::to_string(i + 1) + (full[i] ? ":Full\n" : ":Empty\n");
    return text;
}

}  // namespace karvel::ctl
