// SPDX-License-Identifier: MIT
#include "jukebox_state.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace aspi::sim {

namespace {

constexpr ElementType kTypes[] = {ElementType::transport, ElementType::storage, ElementType::port,
                                  ElementType::drive};

bool overlap(const ElementRange& a, const ElementRange& b) {
    return a.count && b.count && a.first < b.end() && b.first < a.end();
}

const char* typeName(ElementType t) {
    switch (t) {
    case ElementType::transport: return "transport";
    case ElementType::storage: return "storage";
    case ElementType::port: return "port";
    case ElementType::drive: return "drive";
    }
    return "?";
}

}  // namespace

const ElementRange& JukeboxState::rangeOf(ElementType t) const {
    switch (t) {
    case ElementType::transport: return transports;
    case ElementType::storage: return slots;
    case ElementType::port: return ports;
    case ElementType::drive: break;
    }
    return drives;
}

std::optional<ElementType> JukeboxState::typeOf(uint32_t address) const {
    for (ElementType t : kTypes)
        if (rangeOf(t).contains(address)) return t;
    return std::nullopt;
}

const Disc* JukeboxState::discAt(uint16_t address) const {
    auto it = discs.find(address);
    return it == discs.end() ? nullptr : &it->second;
}

bool JukeboxState::recordedFull(uint16_t address) const {
    return slots.contains(address) && static_cast<size_t>(address - slots.first) < records.size() &&
           records[address - slots.first];
}

void JukeboxState::setRecord(uint16_t address, bool full) {
    if (slots.contains(address) && static_cast<size_t>(address - slots.first) < records.size())
        records[address - slots.first] = full;
}

RecordGroup JukeboxState::recordGroup(int n) const {
    RecordGroup bytes{};
    for (int r = 0; r < kSlotsPerGroup; ++r) {
        size_t index = static_cast<size_t>(n) * kSlotsPerGroup + r;
        if (index < records.size() && records[index])
            bytes[r / 8] |= static_cast<uint8_t>(0x80 >> (r % 8));
    }
    return bytes;
}

void JukeboxState::setRecordGroup(int n, const RecordGroup& bytes) {
    for (int r = 0; r < kSlotsPerGroup; ++r) {
        size_t index = static_cast<size_t>(n) * kSlotsPerGroup + r;
        if (index < records.size()) records[index] = bytes[r / 8] & (0x80 >> (r % 8));
    }
}

uint32_t JukeboxState::nextDiscId() const {
    uint32_t highest = 0;
    for (const auto& [address, disc] : discs) highest = std::max(highest, disc.id);
    return highest + 1;
}

std::string JukeboxState::revision() const {
    if (firmwareDigest.size() < 4) return "1.00";
    std::string rev = firmwareDigest.substr(0, 4);
    for (char& c : rev) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return rev;
}

JukeboxState seededState(const Seed& seed) {
    JukeboxState state;
    state.target = seed.target;
    state.lun = seed.lun;

    struct Slot {
        ElementRange* range;
        uint16_t count;
        std::optional<uint16_t> first;
        uint16_t preferred;
    };
    Slot layout[] = {
        {&state.transports, seed.transports, seed.firstTransport, 0x0000},
        {&state.slots, seed.slots, seed.firstStorage, 0x0001},
        {&state.ports, seed.ports, seed.firstPort, 0x0030},
        {&state.drives, seed.drives, seed.firstDrive, 0x4000},
    };
    // Explicit first addresses are placed as given; the others take their usual address, or
    // the first address after it where they overlap no range already placed.
    std::vector<ElementRange> placed;
    for (auto& s : layout) {
        if (!s.first) continue;
        *s.range = {*s.first, s.count};
        placed.push_back(*s.range);
    }
    for (auto& s : layout) {
        if (s.first) continue;
        ElementRange r{s.preferred, s.count};
        for (bool moved = true; moved;) {
            moved = false;
            for (const auto& p : placed)
                if (overlap(p, r)) {
                    if (p.end() > 0xFFFF) throw std::invalid_argument("element addresses run past FFFFh");
                    r.first = static_cast<uint16_t>(p.end());
                    moved = true;
                }
        }
        *s.range = r;
        placed.push_back(r);
    }
    state.records.assign(state.slots.count, false);
    if (auto fault = stateFault(state)) throw std::invalid_argument(*fault);

    std::vector<int> full;
    if (seed.full) {
        full = *seed.full;
    } else {
        for (int n = 1; n <= std::min<int>(30, seed.slots); ++n) full.push_back(n);
    }
    for (int n : full) {
        if (n < 1 || n > seed.slots)
            throw std::invalid_argument("full slot " + std::to_string(n) + " is not a slot (1-" +
                                        std::to_string(seed.slots) + ")");
        uint16_t address = state.slotAddress(n);
        state.discs[address] = Disc{static_cast<uint32_t>(n), std::nullopt, false};
        state.setRecord(address, true);
    }
    return state;
}

std::optional<std::string> stateFault(const JukeboxState& state) {
    for (ElementType t : kTypes) {
        const ElementRange& r = state.rangeOf(t);
        if (r.end() > 0x10000)
            return std::string(typeName(t)) + " elements run past address FFFFh";
        for (ElementType u : kTypes)
            if (t < u && overlap(r, state.rangeOf(u)))
                return std::string(typeName(t)) + " and " + typeName(u) +
                       " element addresses overlap";
    }
    if (state.slots.count > kMaxSlots)
        return "more than " + std::to_string(kMaxSlots) + " slots";
    if (state.records.size() != state.slots.count) return "records do not cover every slot";
    for (const auto& [address, disc] : state.discs)
        if (!state.typeOf(address)) {
            char text[64];
            std::snprintf(text, sizeof text, "a disc at %04X, which is no element", address);
            return std::string(text);
        }
    return std::nullopt;
}

}  // namespace aspi::sim
