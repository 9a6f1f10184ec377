// SPDX-License-Identifier: MIT
#include "changer_inventory.h"

namespace karvel::ctl {

const Element* ChangerInventory::slot(unsigned number) const {
    if (number == 0 || number > slotCount())
        return nullptr;
    const size_t index = number - 1;
    return index < storage.size() ? &storage[index] : &ports[index - storage.size()];
}

std::optional<unsigned> ChangerInventory::slotNumberOf(uint16_t address) const {
    for (size_t i = 0; i < storage.size(); ++i)
        if (storage[i].address == address)
            return static_cast<unsigned>(i + 1);
    for (size_t i = 0; i < ports.size(); ++i)
        if (ports[i].address == address)
            return static_cast<unsigned>(storage.size() + i + 1);
    return std::nullopt;
}

const Element* ChangerInventory::drive(unsigned number) const {
    return number < drives.size() ? &drives[number] : nullptr;
}

}  // namespace karvel::ctl
