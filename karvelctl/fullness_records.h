// SPDX-License-Identifier: MIT
// The changer's records of full slots, as Karvel's view reads them: one 13-byte group per 100
// slots, read with READ BUFFER in data mode (buffer id = group), the slot at offset r of its
// group full when bit 7 - r mod 8 of byte r div 8 is set; cleared by writing zero groups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace karvel::ctl {

inline constexpr size_t kRecordGroupBytes = 13;
inline constexpr unsigned kSlotsPerRecordGroup = 100;
inline constexpr uint8_t kRecordsBufferMode = 2;  // READ/WRITE BUFFER data mode

// Returns the number of groups that hold slotCount slots (0 for none).
unsigned record_group_count(unsigned slotCount);

// Returns whether group marks the slot at offset (0-99) full.
bool record_marks_full(std::span<const uint8_t, kRecordGroupBytes> group, unsigned offset);

// Returns one line per slot, "Slot N:Full" or "Slot N:Empty", N counted from 1; full[i] is slot i + 1.
std::string format_records(const std::vector<bool>& full);

}  // namespace karvel::ctl
