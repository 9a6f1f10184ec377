// SPDX-License-Identifier: MIT
#include "changer_model/fullness_records.h"

#include <array>

#include <karvel/nevsel.h>

namespace karvel::model {

unsigned recordGroupCount(unsigned slotCount) {
    return slotCount / kSlotsPerRecordGroup + (slotCount % kSlotsPerRecordGroup != 0 ? 1 : 0);
}

unsigned recordGroupOf(unsigned slotIndex) {
    return slotIndex / kSlotsPerRecordGroup;
}

unsigned recordOffsetOf(unsigned slotIndex) {
    return slotIndex % kSlotsPerRecordGroup;
}

bool recordMarksFull(std::span<const uint8_t, kRecordGroupBytes> group, unsigned offset) {
    return offset < kSlotsPerRecordGroup && ((group[offset / 8] >> (7 - offset % 8)) & 1) != 0;
}

uint8_t readRecordGroup(SRBunion* srb, uint8_t group, std::span<uint8_t, kRecordGroupBytes> into) {
    return ReadBuffer(srb, kRecordsBufferMode, group, 0, kRecordGroupBytes, into.data());
}

uint8_t clearRecordGroup(SRBunion* srb, uint8_t group) {
    std::array<uint8_t, kRecordGroupBytes> zeros{};
    return WriteBuffer(srb, kRecordsBufferMode, group, 0, kRecordGroupBytes, zeros.data());
}

}  // namespace karvel::model
