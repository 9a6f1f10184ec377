// SPDX-License-Identifier: MIT
#include "status_format.h"

#include <sstream>

namespace karvel::ctl {

namespace {

void driveLine(std::ostringstream& text, const ChangerInventory& inventory, size_t number, const Element& drive) {
    text << "Data Transfer Element " << number << ':';
    if (!drive.full) {
        text << "Empty";
    } else {
        const std::optional<unsigned> slot =
            drive.sourceValid ? inventory.slot_number_of(drive.source) : std::nullopt;
        if (slot)
            text << "Full (Storage Element " << *slot << " Loaded)";
        else
            text << "Full (Unknown Storage Element Loaded)";
    }
    if (drive.volumeTag)
        text << ":VolumeTag = " << *drive.volumeTag;
    text << '\n';
}

void slotLine(std::ostringstream& text, size_t number, const Element& slot, bool port) {
    text << "      Storage Element " << number << (port ? " IMPORT/EXPORT" : "") << ':'
         << (slot.full ? "Full " : "Empty");
    if (slot.volumeTag)
        text << ":VolumeTag=" << *slot.volumeTag;
    text << '\n';
}

}  // namespace

std::string format_status(const ChangerInventory& inventory, const std::string& name) {
    std::ostringstream text;
    text << "  Storage Changer " << name << ':' << inventory.drives.size() << " Drives, " << inventory.slot_count()
         << " Slots ( " << inventory.ports.size() << " Import/Export )\n";
    for (size_t i = 0; i < inventory.drives.size(); ++i)
        driveLine(text, inventory, i, inventory.drives[i]);
    for (size_t i = 0; i < inventory.storage.size(); ++i)
        slotLine(text, i + 1, inventory.storage[i], false);
    for (size_t i = 0; i < inventory.ports.size(); ++i)
        slotLine(text, inventory.storage.size() + i + 1, inventory.ports[i], true);
    return text.str();
}

}  // namespace karvel::ctl
