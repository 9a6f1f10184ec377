// SPDX-License-Identifier: MIT
#include "status_json.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <utility>

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

using Json = nlohmann::ordered_json;

Json geometryEntry(uint16_t first, uint16_t count) { return Json{{"first", first}, {"count", count}}; }

Json elementEntry(const ChangerInventory& inventory, const Element& element, size_t number) {
    Json source = nullptr;
    if (element.sourceValid) {
        Json slot = nullptr;
        if (const std::optional<unsigned> found = inventory.slotNumberOf(element.source)) slot = *found;
        source = Json{{"address", element.source}, {"slot", slot}};
    }
    Json entry;
    entry["type"] = typeName(element.type);
    entry["number"] = number;
    entry["address"] = element.address;
    entry["full"] = element.full;
    entry["source"] = source;
    entry["volume_tag"] = element.volumeTag ? Json(*element.volumeTag) : Json(nullptr);
    return entry;
}

// The document's layout, which readers with line-based tools rely on: members that hold only
// objects or arrays (the document itself, "geometry", "elements") get one line per member,
// indented by two blanks a level; everything else stays on one line. Strings go through
// jsonString, whose byte escaping differs from the library's own dump.
bool holdsOnlyContainers(const Json& value) {
    return value.is_structured() &&
           std::all_of(value.begin(), value.end(), [](const Json& member) { return member.is_structured(); });
}

void writeScalar(std::string& out, const Json& value) {
    switch (value.type()) {
    case Json::value_t::string: out += jsonString(value.get_ref<const std::string&>()); break;
    case Json::value_t::boolean: out += value.get<bool>() ? "true" : "false"; break;
    case Json::value_t::number_unsigned: out += std::to_string(value.get<uint64_t>()); break;
    case Json::value_t::number_integer: out += std::to_string(value.get<int64_t>()); break;
    default: out += "null"; break;  // the document holds no other kind of value
    }
}

void writeValue(std::string& out, const Json& value, size_t indent, bool expanded);

void writeMembers(std::string& out, const Json& value, size_t indent, bool expanded) {
    bool first = true;
    const auto begin = [&] {
        if (!first) out += expanded ? "," : ", ";
        first = false;
        if (expanded) {
            out += '\n';
            out.append(indent + 2, ' ');
        }
    };
    if (value.is_object()) {
        for (const auto& member : value.items()) {
            begin();
            out += jsonString(member.key()) + ": ";
            writeValue(out, member.value(), indent + 2, holdsOnlyContainers(member.value()));
        }
    } else {
        for (const Json& member : value) {
            begin();
            writeValue(out, member, indent + 2, holdsOnlyContainers(member));
        }
    }
    if (expanded) {
        out += '\n';
        out.append(indent, ' ');
    }
}

void writeValue(std::string& out, const Json& value, size_t indent, bool expanded) {
    if (!value.is_structured()) {
        writeScalar(out, value);
        return;
    }
    out += value.is_object() ? '{' : '[';
    writeMembers(out, value, indent, expanded);
    out += value.is_object() ? '}' : ']';
}

}  // namespace

std::string jsonString(const std::string& text) {
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

std::string formatStatusJson(const ChangerInventory& inventory, const ChangerIdentity& identity,
                               const std::string& name, const TargetAddress& target) {
    const ElementAddressAssignment& a = inventory.assignment;
    Json document;
    // The layout's version: a reader checks it before relying on the keys.
    document["schema"] = kStatusJsonSchema;
    document["changer"] = name;
    document["target"] = Json{{"host_adapter", target.hostAdapter}, {"target_id", target.targetId}, {"lun", target.lun}};
    document["identity"] = Json{{"vendor", withoutTrailingBlanks(identity.vendor)},
                                {"product", withoutTrailingBlanks(identity.product)},
                                {"revision", withoutTrailingBlanks(identity.revision)}};
    document["volume_tags"] = inventory.volumeTagsReported;
    document["drives"] = inventory.drives.size();
    document["slots"] = inventory.slotCount();
    document["import_export"] = inventory.ports.size();
    document["geometry"] = Json{{"transport", geometryEntry(a.firstTransport, a.transportCount)},
                                {"storage", geometryEntry(a.firstStorage, a.storageCount)},
                                {"import_export", geometryEntry(a.firstImportExport, a.importExportCount)},
                                {"data_transfer", geometryEntry(a.firstDataTransfer, a.dataTransferCount)}};
    Json elements = Json::array();
    for (size_t i = 0; i < inventory.transports.size(); ++i)
        elements.push_back(elementEntry(inventory, inventory.transports[i], i));
    for (size_t i = 0; i < inventory.drives.size(); ++i)
        elements.push_back(elementEntry(inventory, inventory.drives[i], i));
    for (size_t i = 0; i < inventory.storage.size(); ++i)
        elements.push_back(elementEntry(inventory, inventory.storage[i], i + 1));
    for (size_t i = 0; i < inventory.ports.size(); ++i)
        elements.push_back(elementEntry(inventory, inventory.ports[i], inventory.storage.size() + i + 1));
    document["elements"] = std::move(elements);

    std::string out;
    writeValue(out, document, 0, true);
    return out + "\n";
}

}  // namespace karvel::ctl
