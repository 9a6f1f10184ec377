// SPDX-License-Identifier: MIT
// The changer's records of full slots: one 13-byte group per 100 slots, read with READ BUFFER
// and cleared with WRITE BUFFER in data mode, buffer id = group. The slot at offset r of its
// group is full when bit 7 - r mod 8 of byte r div 8 is set (the low four bits of byte 12
// carry no slot).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include <karvel/wnaspi32.h>

namespace karvel::model {

inline constexpr size_t kRecordGroupBytes = 13;       // one group's record
inline constexpr unsigned kSlotsPerRecordGroup = 100;  // slots a group describes
inline constexpr uint8_t kRecordsBufferMode = 2;       // READ/WRITE BUFFER data mode
// The buffer id is 8 bits wide: groups 0-255, so the records describe at most 25600 slots.
inline constexpr unsigned kRecordGroupLimit = 256;

// Returns the number of groups that hold slotCount slots (0 for none), not bounded by the limit.
unsigned recordGroupCount(unsigned slotCount);

// Returns the group (the buffer id) of the slot at 0-based index slotIndex.
unsigned recordGroupOf(unsigned slotIndex);

// Returns the offset (0-99) of the slot at 0-based index slotIndex within its group.
unsigned recordOffsetOf(unsigned slotIndex);

// Returns whether group marks the slot at offset (0-99) full; false for any other offset.
bool recordMarksFull(std::span<const uint8_t, kRecordGroupBytes> group, unsigned offset);

// Sends READ BUFFER for group into into (the caller's 13 bytes) on srb; returns the ASPI status.
uint8_t readRecordGroup(SRBunion* srb, uint8_t group, std::span<uint8_t, kRecordGroupBytes> into);

// Sends WRITE BUFFER of 13 zero bytes for group on srb; returns the ASPI status.
uint8_t clearRecordGroup(SRBunion* srb, uint8_t group);

}  // namespace karvel::model
