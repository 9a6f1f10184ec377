// SPDX-License-Identifier: MIT
#include "status_json.h"

#include <cstdio>
#include <sstream>

namespace karvel::ctl {

namespace {

std::string withoutTrailingBlanks(std::string text) {
    const size_t last = text.find_last_not_of(std::string(" \0", 2));
    text.resize(last == std::string::npos ? 0 : last + 1);
    return text;
}

const char* typeName(ElementType type) {
    switch (type) {
    case ElementType::transport: return "transport";
    case ElementType::storage: return "storage";
    case ElementType::importExport: return "import_export";
    case ElementType::dataTransfer: return "data_transfer";
    }
    return "unknown";
}

void geometryEntry(std::ostringstream& json, const char* key, uint16_t first, uint16_t count, bool last) {
    json << "    \"" << key << "\": {\"first\": " << first << ", \"count\": " << count << "}" << (last ? "\n" : ",\n");
}

void elementEntry(std::ostringstream& json, const ChangerInventory& inventory, const Element& element,
                  size_t number, bool last) {
    json << "    {\"type\": \"" << typeName(element.type) << "\", \"number\": " << number
         << ", \"address\": " << element.address << ", \"full\": " << (element.full ? "true" : "false")
         << ", \"source\": ";
    if (element.sourceValid) {
        json << "{\"address\": " << element.source << ", \"slot\": ";
        if (const std::optional<unsigned> slot = inventory.slot_number_of(element.source))
            json << *slot;
        else
            json << "null";
        json << "}";
    } else {
        json << "null";
    }
    json << ", \"volume_tag\": " << (element.volumeTag ? json_string(*element.volumeTag) : "null") << "}"
         << (last ? "\n" : ",\n");
}

}  // namespace

std::string json_string(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (u < 0x20 || u >= 0x7F) {
            // Device texts are bytes, not UTF-8: every byte outside printable ASCII is escaped
            // as the Latin-1 character it would be.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string format_status_json(const ChangerInventory& inventory, const ChangerIdentity& identity,
                               const std::string& name, const TargetAddress& target) {
    const ElementAddressAssignment& a = inventory.assignment;
    std::ostringstream json;
    json << "{\n";
    // The layout's version: a reader checks it before relying on the keys.
    json << "  \"schema\": " << kStatusJsonSchema << ",\n";
    json << "  \"changer\": " << json_string(name) << ",\n";
    json << "  \"target\": {\"host_adapter\": " << unsigned{target.hostAdapter}
         << ", \"target_id\": " << unsigned{target.targetId} << ", \"lun\": " << unsigned{target.lun} << "},\n";
    json << "  \"identity\": {\"vendor\": " << json_string(withoutTrailingBlanks(identity.vendor))
         << ", \"product\": " << json_string(withoutTrailingBlanks(identity.product))
         << ", \"revision\": " << json_string(withoutTrailingBlanks(identity.revision)) << "},\n";
    json << "  \"volume_tags\": " << (inventory.volumeTagsReported ? "true" : "false") << ",\n";
    json << "  \"drives\": " << inventory.drives.size() << ",\n";
    json << "  \"slots\": " << inventory.slot_count() << ",\n";
    json << "  \"import_export\": " << inventory.ports.size() << ",\n";
    json << "  \"geometry\": {\n";
    geometryEntry(json, "transport", a.firstTransport, a.transportCount, false);
    geometryEntry(json, "storage", a.firstStorage, a.storageCount, false);
    geometryEntry(json, "import_export", a.firstImportExport, a.importExportCount, false);
    geometryEntry(json, "data_transfer", a.firstDataTransfer, a.dataTransferCount, true);
    json << "  },\n";
    json << "  \"elements\": [\n";
    const size_t total = inventory.transports.size() + inventory.drives.size() + inventory.slot_count();
    size_t written = 0;
    const auto emit = [&](const Element& element, size_t number) {
        ++written;
        elementEntry(json, inventory, element, number, written == total);
    };
    for (size_t i = 0; i < inventory.transports.size(); ++i)
        emit(inventory.transports[i], i);
    for (size_t i = 0; i < inventory.drives.size(); ++i)
        emit(inventory.drives[i], i);
    for (size_t i = 0; i < inventory.storage.size(); ++i)
        emit(inventory.storage[i], i + 1);
    for (size_t i = 0; i < inventory.ports.size(); ++i)
        emit(inventory.ports[i], inventory.storage.size() + i + 1);
    json << "  ]\n";
    json << "}\n";
    return json.str();
}

}  // namespace karvel::ctl
