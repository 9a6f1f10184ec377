// SPDX-License-Identifier: MIT
// What the changer reported of its elements, numbered as the mtx command line numbers them:
// drives from 0 in address order, slots from 1 by position (storage elements first, then the
// import/export ports, which count among the slots).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "changer_model/changer_config.h"
#include "changer_model/element_status.h"
#include "changer_model/element_type.h"

namespace karvel::ctl {

using model::ElementType;
// An element as its descriptor reported it.
using Element = model::ElementDescriptor;

// The changer's identity from INQUIRY, fields as the device sent them (padding included, cut at
// a NUL).
struct ChangerIdentity {
    uint8_t deviceType = 0;
    std::string vendor;    // bytes 8-15
    std::string product;   // bytes 16-31
    std::string revision;  // bytes 32-35
    bool attachedChanger = false;  // byte 6 bit 3 (MChngr): a changer reached through another device
};

struct ChangerInventory {
    ElementAddressAssignment assignment;
    bool volumeTagsReported = false;  // false when the changer refused them
    // Each in ascending address order.
    std::vector<Element> transports;
    std::vector<Element> storage;
    std::vector<Element> ports;
    std::vector<Element> drives;

    // Returns the number of slots: storage elements and import/export ports.
    size_t slotCount() const { return storage.size() + ports.size(); }
    // Returns the element of slot number (1-based), or null when there is no such slot.
    const Element* slot(unsigned number) const;
    // Returns the slot number of address, or nothing when it is no slot.
    std::optional<unsigned> slotNumberOf(uint16_t address) const;
    // Returns the drive number (0-based), or null when there is no such drive.
    const Element* drive(unsigned number) const;
};

}  // namespace karvel::ctl
