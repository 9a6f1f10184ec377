// SPDX-License-Identifier: MIT
#include "status_format.h"
#include "outside_text.h"

#include <algorithm>
#include <sstream>

namespace karvel::ctl {

namespace {

// The tag as mtx prints it: the descriptor's 32-byte identifier as sent, padding included (up
// to a NUL); the trimmed tag when the element carries no raw field.
std::optional<std::string> printedTag(const Element& element) {
    if (element.volumeTagRaw) {
        const auto& identifier = element.volumeTagRaw->identifier;
        const auto end = std::find(identifier.begin(), identifier.end(), uint8_t{0});
        return std::string(identifier.begin(), end);
    }
    return element.volumeTag;
}

void driveLine(std::ostringstream& text, const ChangerInventory& inventory, size_t number, const Element& drive) {
    text << "Data Transfer Element " << number << ':';
    if (!drive.full) {
        text << "Empty";
    } else {
        const std::optional<unsigned> slot =
            drive.sourceValid ? inventory.slotNumberOf(drive.source) : std::nullopt;
        if (slot)
            text << "Full (Storage Element " << *slot << " Loaded)";
        else
            text << "Full (Unknown Storage Element Loaded)";
    }
    // An empty drive's blank tag field is not shown (mtx shows a drive's tag when it holds a disc).
    const std::optional<std::string> tag = printedTag(drive);
    if (tag && (drive.full || drive.volumeTag))
        text << ":VolumeTag = " << escapeText(*tag);
    text << '\n';
}

void slotLine(std::ostringstream& text, size_t number, const Element& slot, bool port) {
    text << "      Storage Element " << number << (port ? " IMPORT/EXPORT" : "") << ':'
         << (slot.full ? "Full " : "Empty");
    if (const std::optional<std::string> tag = printedTag(slot))
        text << ":VolumeTag=" << escapeText(*tag);
    text << '\n';
}

}  // namespace

std::string formatStatus(const ChangerInventory& inventory, const std::string& name) {
    std::ostringstream text;
    text << "  Storage Changer " << name << ':' << inventory.drives.size() << " Drives, " << inventory.slotCount()
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
