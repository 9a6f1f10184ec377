// SPDX-License-Identifier: MIT
#include "changer_device.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

#include "byte_order.h"
#include "scsi_codes.h"
#include "sha256.h"

namespace aspi::sim {

namespace {

using karvel::get_be16;
using karvel::get_be24;
using karvel::put_be16;
using karvel::put_be24;
namespace op = karvel::scsi;
using namespace condition;

constexpr std::array kCommands{
    CommandEntry{op::TEST_UNIT_READY, 6, StateUse::required, false, &ChangerDevice::testUnitReady, "TEST UNIT READY"},
    CommandEntry{op::REZERO_UNIT, 6, StateUse::required, false, &ChangerDevice::rezeroUnit, "REZERO UNIT"},
    CommandEntry{op::REQUEST_SENSE, 6, StateUse::none, true, &ChangerDevice::requestSense, "REQUEST SENSE"},
    CommandEntry{op::INITIALIZE_ELEMENT_STATUS, 6, StateUse::required, false, &ChangerDevice::initializeElementStatus, "INITIALIZE ELEMENT STATUS"},
    CommandEntry{op::INQUIRY, 6, StateUse::optional, true, &ChangerDevice::inquiry, "INQUIRY"},
    CommandEntry{op::MODE_SELECT_6, 6, StateUse::required, false, &ChangerDevice::modeSelect6, "MODE SELECT(6)"},
    CommandEntry{op::MODE_SENSE_6, 6, StateUse::required, false, &ChangerDevice::modeSense6, "MODE SENSE(6)"},
    CommandEntry{op::POSITION_TO_ELEMENT, 10, StateUse::required, false, &ChangerDevice::positionToElement, "POSITION TO ELEMENT"},
    CommandEntry{op::WRITE_BUFFER, 10, StateUse::required, false, &ChangerDevice::writeBuffer, "WRITE BUFFER"},
    CommandEntry{op::READ_BUFFER, 10, StateUse::required, false, &ChangerDevice::readBuffer, "READ BUFFER"},
    CommandEntry{op::MODE_SELECT_10, 10, StateUse::required, false, &ChangerDevice::modeSelect10, "MODE SELECT(10)"},
    CommandEntry{op::MODE_SENSE_10, 10, StateUse::required, false, &ChangerDevice::modeSense10, "MODE SENSE(10)"},
    CommandEntry{op::MOVE_MEDIUM, 12, StateUse::required, false, &ChangerDevice::moveMedium, "MOVE MEDIUM"},
    CommandEntry{op::EXCHANGE_MEDIUM, 12, StateUse::required, false, &ChangerDevice::exchangeMedium, "EXCHANGE MEDIUM"},
    CommandEntry{op::READ_ELEMENT_STATUS, 12, StateUse::required, false, &ChangerDevice::readElementStatus, "READ ELEMENT STATUS"},
};

constexpr uint8_t kElementAddressPage = 0x1D;
constexpr uint8_t kInitRangePage = 0x20;
constexpr uint8_t kAllPages = 0x3F;
constexpr uint8_t kDescriptorLength = 16;

// Copies as much of bytes as both the allocation length and the caller's buffer allow.
Outcome reply(Command& c, std::span<const uint8_t> bytes, size_t allocation) {
    size_t n = std::min({bytes.size(), allocation, c.data.size()});
    if (n) std::memcpy(c.data.data(), bytes.data(), n);
    return Outcome::ok();
}

// Resolves a CDB's transport address: 0 picks the default (first) transport.
std::optional<uint16_t> picker(const JukeboxState& s, uint16_t address) {
    if (s.transports.count == 0) return std::nullopt;
    if (address == 0) return s.transports.first;
    if (s.transports.contains(address)) return address;
    return std::nullopt;
}

bool isElement(const JukeboxState& s, uint16_t address) { return s.typeOf(address).has_value(); }

// Takes the disc out of from and puts it into to, as the picker does it.
void carry(JukeboxState& s, uint16_t from, uint16_t to, Disc disc) {
    if (!s.transports.contains(from)) disc.source = from;
    disc.imported = false;
    s.discs[to] = disc;
    s.setRecord(to, true);
}

std::vector<uint8_t> elementAddressPage(const JukeboxState& s, uint8_t pageControl) {
    std::vector<uint8_t> page(20, 0);
    page[0] = kElementAddressPage;
    page[1] = 18;
    if (pageControl == 1) return page;  // nothing in it can be changed
    const ElementRange* ranges[] = {&s.transports, &s.slots, &s.ports, &s.drives};
    for (int k = 0; k < 4; ++k) {
        put_be16(&page[2 + 4 * k], ranges[k]->first);
        put_be16(&page[4 + 4 * k], ranges[k]->count);
    }
    return page;
}

std::pair<uint16_t, uint16_t> wholeStorage(const JukeboxState& s) {
    if (s.slots.count == 0) return {s.slots.first, s.slots.first};
    return {s.slots.first, static_cast<uint16_t>(s.slots.end() - 1)};
}

std::vector<uint8_t> initRangePage(const JukeboxState& s, uint8_t pageControl) {
    std::vector<uint8_t> page(6, 0);
    page[0] = kInitRangePage;
    page[1] = 4;
    auto [start, stop] = pageControl == 1   ? std::pair<uint16_t, uint16_t>{0xFFFF, 0xFFFF}
                         : pageControl == 2 ? wholeStorage(s)
                                            : s.initRange.value_or(wholeStorage(s));
    put_be16(&page[2], start);
    put_be16(&page[4], stop);
    return page;
}

}  // namespace

std::span<const CommandEntry> ChangerDevice::commands() { return kCommands; }

const CommandEntry* ChangerDevice::find(uint8_t opcode) {
    for (const auto& entry : kCommands)
        if (entry.opcode == opcode) return &entry;
    return nullptr;
}

void ChangerDevice::pause(std::chrono::milliseconds time) const {
    if (time.count() > 0) std::this_thread::sleep_for(time);
}

Outcome ChangerDevice::testUnitReady(Command&) const { return Outcome::ok(); }

Outcome ChangerDevice::rezeroUnit(Command&) const {
    pause(m_behaviour.rezeroTime);
    return Outcome::ok();
}

Outcome ChangerDevice::requestSense(Command& c) const {
    if (c.cdb[1] & 0x01) return Outcome::fail(kInvalidField);  // descriptor format
    Condition sense = kNoSense;
    if (c.initiator->unitAttention) {
        sense = kPowerOnReset;
        c.initiator->unitAttention = false;
    } else if (c.initiator->lastSense) {
        sense = *c.initiator->lastSense;
    }
    c.initiator->lastSense.reset();
    auto bytes = fixedSense(sense);
    return reply(c, bytes, c.cdb[4]);
}

Outcome ChangerDevice::inquiry(Command& c) const {
    if ((c.cdb[1] & 0x01) || c.cdb[2] != 0) return Outcome::fail(kInvalidField);  // no VPD pages
    std::array<uint8_t, 36> data{};
    data[0] = karvel::scsi::kMediumChangerType;
    data[2] = 0x02;  // SCSI-2
    data[3] = 0x02;  // response data format
    data[4] = static_cast<uint8_t>(data.size() - 5);
    std::memcpy(&data[8], kVendor, 8);
    std::memcpy(&data[16], kProduct, 16);
    std::string revision = c.state ? c.state->revision() : JukeboxState{}.revision();
    std::memcpy(&data[32], revision.data(), 4);
    return reply(c, data, c.cdb[4]);
}

Outcome ChangerDevice::modeSense6(Command& c) const { return modeSense(c, false); }
Outcome ChangerDevice::modeSense10(Command& c) const { return modeSense(c, true); }

Outcome ChangerDevice::modeSense(Command& c, bool ten) const {
    const JukeboxState& s = *c.state;
    bool dbd = c.cdb[1] & 0x08;
    uint8_t pageControl = c.cdb[2] >> 6;
    uint8_t pageCode = c.cdb[2] & 0x3F;
    size_t allocation = ten ? get_be16(&c.cdb[7]) : c.cdb[4];
    if (c.cdb[3] != 0) return Outcome::fail(kInvalidField);  // no subpages

    std::vector<uint8_t> pages;
    if (pageCode == kElementAddressPage || pageCode == kAllPages) {
        auto p = elementAddressPage(s, pageControl);
        pages.insert(pages.end(), p.begin(), p.end());
    }
    if (pageCode == kInitRangePage || pageCode == kAllPages) {
        auto p = initRangePage(s, pageControl);
        pages.insert(pages.end(), p.begin(), p.end());
    }
    if (pages.empty()) return Outcome::fail(kInvalidField);

    uint8_t blockDescriptor = dbd ? 0 : m_behaviour.blockDescriptorLength;
    size_t header = ten ? 8 : 4;
    std::vector<uint8_t> data(header + blockDescriptor, 0);
    data.insert(data.end(), pages.begin(), pages.end());
    if (ten) {
        put_be16(&data[0], static_cast<uint32_t>(data.size() - 2));
        put_be16(&data[6], blockDescriptor);
    } else {
        data[0] = static_cast<uint8_t>(data.size() - 1);
        data[3] = blockDescriptor;
    }
    return reply(c, data, allocation);
}

Outcome ChangerDevice::modeSelect6(Command& c) const { return modeSelect(c, false); }
Outcome ChangerDevice::modeSelect10(Command& c) const { return modeSelect(c, true); }

Outcome ChangerDevice::modeSelect(Command& c, bool ten) const {
    JukeboxState& s = *c.state;
    bool pageFormat = c.cdb[1] & 0x10;
    bool savePages = c.cdb[1] & 0x01;
    size_t length = ten ? get_be16(&c.cdb[7]) : c.cdb[4];
    // Page 20h is not savable (its PS bit is 0), and only the page format is understood.
    if (!pageFormat || savePages) return Outcome::fail(kInvalidField);
    if (length > c.data.size()) return Outcome::underrun();
    if (length == 0) return Outcome::ok();

    const uint8_t* d = c.data.data();
    size_t header = ten ? 8 : 4;
    if (length < header) return Outcome::fail(kInvalidParameter);
    size_t offset = header + (ten ? get_be16(&d[6]) : d[3]);
    std::optional<std::pair<uint16_t, uint16_t>> range;
    while (offset < length) {
        if (offset + 2 > length) return Outcome::fail(kInvalidParameter);
        uint8_t code = d[offset] & 0x3F;
        size_t pageLength = d[offset + 1];
        if (offset + 2 + pageLength > length) return Outcome::fail(kInvalidParameter);
        if (code != kInitRangePage || pageLength != 4) return Outcome::fail(kInvalidParameter);
        uint16_t start = get_be16(&d[offset + 2]);
        uint16_t stop = get_be16(&d[offset + 4]);
        if (start > stop || !isElement(s, start) || !isElement(s, stop))
            return Outcome::fail(kInvalidParameter);
        range = std::pair{start, stop};
        offset += 2 + pageLength;
    }
    if (offset > length) return Outcome::fail(kInvalidParameter);  // block descriptors past the end
    if (range && range != s.initRange) {
        s.initRange = range;
        c.changed = true;
    }
    return Outcome::ok();
}

Outcome ChangerDevice::readElementStatus(Command& c) const {
    const JukeboxState& s = *c.state;
    uint8_t type = c.cdb[1] & 0x0F;
    bool volumeTags = c.cdb[1] & 0x10;
    uint16_t start = get_be16(&c.cdb[2]);
    uint16_t wanted = get_be16(&c.cdb[4]);
    size_t allocation = get_be24(&c.cdb[7]);
    if (volumeTags || type > static_cast<uint8_t>(ElementType::drive)) return Outcome::fail(kInvalidField);
    if (!isElement(s, start)) return Outcome::fail(kInvalidElement);

    std::vector<std::pair<uint16_t, ElementType>> elements;
    for (ElementType t : {ElementType::transport, ElementType::storage, ElementType::port, ElementType::drive}) {
        if (type != 0 && type != static_cast<uint8_t>(t)) continue;
        const ElementRange& r = s.rangeOf(t);
        for (uint32_t a = std::max<uint32_t>(r.first, start); a < r.end(); ++a)
            elements.emplace_back(static_cast<uint16_t>(a), t);
    }
    std::sort(elements.begin(), elements.end());
    if (elements.size() > wanted) elements.resize(wanted);

    std::vector<uint8_t> data(8, 0);
    size_t pageStart = 0;
    for (size_t i = 0; i < elements.size(); ++i) {
        auto [address, t] = elements[i];
        if (i == 0 || elements[i - 1].second != t) {
            pageStart = data.size();
            data.resize(data.size() + 8, 0);
            data[pageStart] = static_cast<uint8_t>(t);
            put_be16(&data[pageStart + 2], kDescriptorLength);
        }
        std::array<uint8_t, kDescriptorLength> d{};
        put_be16(&d[0], address);
        const Disc* disc = s.discAt(address);
        // The slots' fullness is the changer's belief; the other elements have sensors.
        bool full = t == ElementType::storage ? s.recordedFull(address) : disc != nullptr;
        uint8_t flags = full ? 0x01 : 0x00;
        if (t != ElementType::transport) flags |= 0x08;  // Access
        if (t == ElementType::port) {
            flags |= 0x30;  // InEnab, ExEnab
            if (full && disc->imported) flags |= 0x02;
        }
        d[2] = flags;
        if (full && disc && disc->source) {
            d[9] = 0x80;  // SValid
            put_be16(&d[10], *disc->source);
        }
        data.insert(data.end(), d.begin(), d.end());
        put_be24(&data[pageStart + 5], static_cast<uint32_t>(data.size() - pageStart - 8));
    }
    put_be16(&data[0], elements.empty() ? 0 : elements.front().first);
    put_be16(&data[2], static_cast<uint32_t>(elements.size()));
    put_be24(&data[5], static_cast<uint32_t>(data.size() - 8));
    return reply(c, data, allocation);
}

Outcome ChangerDevice::moveMedium(Command& c) const {
    JukeboxState& s = *c.state;
    uint16_t source = get_be16(&c.cdb[4]);
    uint16_t destination = get_be16(&c.cdb[6]);
    if (c.cdb[10] & 0x01) return Outcome::fail(kInvalidField);  // discs are not turned over
    auto transport = picker(s, get_be16(&c.cdb[2]));
    if (!transport || !isElement(s, source) || !isElement(s, destination))
        return Outcome::fail(kInvalidElement);
    if (!s.discAt(source)) return Outcome::fail(kSourceEmpty);
    if (s.discAt(destination)) return Outcome::fail(kDestinationFull);
    if (*transport != source && *transport != destination && s.discAt(*transport))
        return Outcome::fail(kTransportFull);

    pause(m_behaviour.moveTime);
    Disc disc = s.discs.at(source);
    s.discs.erase(source);
    s.setRecord(source, false);
    carry(s, source, destination, disc);
    c.changed = true;
    return Outcome::ok();
}

Outcome ChangerDevice::exchangeMedium(Command& c) const {
    JukeboxState& s = *c.state;
    uint16_t source = get_be16(&c.cdb[4]);
    uint16_t first = get_be16(&c.cdb[6]);
    uint16_t second = get_be16(&c.cdb[8]);
    if (c.cdb[10] & 0x03) return Outcome::fail(kInvalidField);
    auto transport = picker(s, get_be16(&c.cdb[2]));
    if (!transport || !isElement(s, source) || !isElement(s, first) || !isElement(s, second))
        return Outcome::fail(kInvalidElement);
    if (source == first || (first == second && second != source)) return Outcome::fail(kIllegalExchange);
    if (!s.discAt(source) || !s.discAt(first)) return Outcome::fail(kSourceEmpty);
    if (second != source && s.discAt(second)) return Outcome::fail(kDestinationFull);
    if (s.discAt(*transport) && *transport != source && *transport != first && *transport != second)
        return Outcome::fail(kTransportFull);

    pause(2 * m_behaviour.moveTime);
    Disc moving = s.discs.at(source), displaced = s.discs.at(first);
    s.discs.erase(source);
    s.discs.erase(first);
    s.setRecord(source, false);
    s.setRecord(first, false);
    carry(s, source, first, moving);
    carry(s, first, second, displaced);
    c.changed = true;
    return Outcome::ok();
}

Outcome ChangerDevice::positionToElement(Command& c) const {
    JukeboxState& s = *c.state;
    uint16_t destination = get_be16(&c.cdb[4]);
    if (c.cdb[8] & 0x01) return Outcome::fail(kInvalidField);
    if (!picker(s, get_be16(&c.cdb[2])) || !isElement(s, destination)) return Outcome::fail(kInvalidElement);
    if (m_behaviour.operatorLoads && s.ports.contains(destination) && !s.discAt(destination)) {
        s.discs[destination] = Disc{s.nextDiscId(), std::nullopt, true};
        c.changed = true;
    }
    return Outcome::ok();
}

Outcome ChangerDevice::initializeElementStatus(Command& c) const {
    JukeboxState& s = *c.state;
    pause(m_behaviour.initTime);
    auto [start, stop] = s.initRange.value_or(wholeStorage(s));
    for (uint32_t a = s.slots.first; a < s.slots.end(); ++a) {
        auto address = static_cast<uint16_t>(a);
        if (address < start || address > stop) continue;
        bool full = s.discAt(address) != nullptr;
        if (s.recordedFull(address) != full) {
            s.setRecord(address, full);
            c.changed = true;
        }
    }
    return Outcome::ok();
}

Outcome ChangerDevice::readBuffer(Command& c) const {
    const JukeboxState& s = *c.state;
    uint8_t mode = c.cdb[1] & 0x1F;
    uint8_t id = c.cdb[2];
    uint32_t offset = get_be24(&c.cdb[3]);
    size_t allocation = get_be24(&c.cdb[6]);
    if ((mode != 0x02 && mode != 0x03) || id >= s.groupCount()) return Outcome::fail(kInvalidField);
    if (mode == 0x03) {  // descriptor: byte boundaries, 13 bytes of capacity
        std::array<uint8_t, 4> descriptor{0x00};
        put_be24(&descriptor[1], kRecordGroupBytes);
        return reply(c, descriptor, allocation);
    }
    if (offset > kRecordGroupBytes) return Outcome::fail(kInvalidField);
    RecordGroup group = s.recordGroup(id);
    return reply(c, std::span<const uint8_t>(group).subspan(offset), allocation);
}

Outcome ChangerDevice::writeBuffer(Command& c) const {
    JukeboxState& s = *c.state;
    uint8_t mode = c.cdb[1] & 0x1F;
    uint8_t id = c.cdb[2];
    uint32_t offset = get_be24(&c.cdb[3]);
    uint32_t length = get_be24(&c.cdb[6]);
    if (mode == 0x02) {
        if (id >= s.groupCount() || offset + length > kRecordGroupBytes) return Outcome::fail(kInvalidField);
        if (length > c.data.size()) return Outcome::underrun();
        RecordGroup group = s.recordGroup(id);
        std::memcpy(group.data() + offset, c.data.data(), length);
        s.setRecordGroup(id, group);
        c.changed = true;
        return Outcome::ok();
    }
    if (mode == 0x05) {  // download microcode and save
        if (id != kFirmwareBufferId || offset != 0 || length != kFirmwareImageLength)
            return Outcome::fail(kInvalidField);
        if (length > c.data.size()) return Outcome::underrun();
        c.firmware.assign(c.data.begin(), c.data.begin() + length);
        s.firmwareDigest = sha256Hex(c.firmware);
        c.changed = true;
        return Outcome::ok();
    }
    return Outcome::fail(kInvalidField);
}

}  // namespace aspi::sim
