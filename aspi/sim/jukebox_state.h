// SPDX-License-Identifier: MIT
// What the simulated jukebox is and holds: its element geometry, the discs where they
// physically are (the truth), and the changer's non-volatile records of full slots (its
// belief), which may disagree until INITIALIZE ELEMENT STATUS makes them match again.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace aspi::sim {

// SCSI element type codes, as READ ELEMENT STATUS names them.
enum class ElementType : uint8_t { transport = 1, storage = 2, port = 3, drive = 4 };

// A run of consecutive element addresses of one type.
struct ElementRange {
    uint16_t first = 0;
    uint16_t count = 0;

    bool contains(uint32_t address) const { return address >= first && address - first < count; }
    // Returns one past the last address.
    uint32_t end() const { return uint32_t{first} + count; }
    bool operator==(const ElementRange&) const = default;
};

// One disc. Its identity is a number (the seeded discs carry their first slot number).
struct Disc {
    uint32_t id = 0;
    std::optional<uint16_t> source{};  // the element it was last moved from, if it ever moved
    bool imported = false;           // put into a port by the operator, not by the changer
    bool operator==(const Disc&) const = default;
};

// A condition injected for the next command(s), consumed as commands hit it.
struct Fault {
    uint8_t key = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    std::optional<uint8_t> opcode{};  // hits only this operation code; without it, every command
                                    // but INQUIRY and REQUEST SENSE
    uint32_t count = 1;             // commands it still hits; 0 = every one until removed
    bool operator==(const Fault&) const = default;
};

// Bytes of one group of fullness records, which covers 100 slots.
inline constexpr size_t kRecordGroupBytes = 13;
inline constexpr int kSlotsPerGroup = 100;
using RecordGroup = std::array<uint8_t, kRecordGroupBytes>;

// The whole state of one jukebox, as its state file keeps it.
struct JukeboxState {
    uint8_t target = 0;
    uint8_t lun = 0;
    ElementRange transports{0x0000, 1};
    ElementRange slots{0x0001, 50};
    ElementRange ports{0x0030, 1};
    ElementRange drives{0x4000, 2};
    std::map<uint16_t, Disc> discs;  // the truth: element address -> the disc it holds
    std::vector<bool> records;       // slot index (0-based) -> the changer believes it full
    std::optional<std::pair<uint16_t, uint16_t>> initRange;  // start, stop of INITIALIZE
    std::string firmwareDigest;      // SHA-256 (hex) of the downloaded image; empty: factory

    std::vector<Fault> faults;

    bool operator==(const JukeboxState&) const = default;

    // Returns the type of the element at address, or nothing when no element has it.
    std::optional<ElementType> typeOf(uint32_t address) const;
    // Returns the range of elements of type t.
    const ElementRange& rangeOf(ElementType t) const;
    // Returns the disc at address, or null when that element is empty (or no element).
    const Disc* discAt(uint16_t address) const;
    // Returns the address of 1-based slot number n.
    uint16_t slotAddress(int n) const { return static_cast<uint16_t>(slots.first + n - 1); }
    // Returns whether the records say the slot at address is full (false for non-slots).
    bool recordedFull(uint16_t address) const;
    // Sets the record of the slot at address; other addresses are ignored.
    void setRecord(uint16_t address, bool full);
    // Returns the number of record groups: one per 100 slots, rounded up.
    int groupCount() const { return (slots.count + kSlotsPerGroup - 1) / kSlotsPerGroup; }
    // Returns group n of the records in the changer's layout (MSB first, offset r at bit 7 - r%8
    // of byte r/8); bits of slots that do not exist are zero.
    RecordGroup recordGroup(int n) const;
    // Replaces group n of the records from bytes; bits of slots that do not exist are dropped.
    void setRecordGroup(int n, const RecordGroup& bytes);
    // Returns an unused disc id.
    uint32_t nextDiscId() const;
    // Returns the INQUIRY product revision level the firmware yields (4 characters).
    std::string revision() const;
};

// How a new jukebox is built; the sim configuration line's keys fill it in.
struct Seed {
    uint8_t target = 0;
    uint8_t lun = 0;
    uint16_t transports = 1;
    uint16_t slots = 50;
    uint16_t ports = 1;
    uint16_t drives = 2;
    std::optional<uint16_t> firstTransport{}, firstStorage{}, firstPort{}, firstDrive{};
    std::optional<std::vector<int>> full{};  // 1-based slot numbers; default: 1-30 (or fewer)
};

inline constexpr uint16_t kMaxSlots = 256 * kSlotsPerGroup;  // buffer ids are one byte
inline constexpr uint16_t kMaxOtherElements = 254;

// Returns a new jukebox built from seed: disc n in slot n for every full slot, records that
// match, factory firmware. Throws std::invalid_argument when its element ranges cannot be laid
// out (explicit first addresses overlapping, or beyond FFFFh).
JukeboxState seededState(const Seed& seed);

// Returns a one-line fault when the state is inconsistent (ranges overlapping or past FFFFh,
// a disc at no element, records of the wrong size), or nothing when it is sound.
std::optional<std::string> stateFault(const JukeboxState& state);

}  // namespace aspi::sim
