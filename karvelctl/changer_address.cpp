// SPDX-License-Identifier: MIT
#include "changer_address.h"

#include <charconv>
#include <vector>

#include "iscsi_changer_address.h"
#include "own_layer_address.h"

namespace karvel::ctl {

namespace {

struct AddressField {
    const char* name;
    unsigned maximum;
};

// The request block carries each part in 8 bits; target ids and LUNs beyond what the
// discovery scan covers are still reachable by name (iSCSI LUNs, wide buses).
constexpr AddressField kFields[] = {
    {"host adapter", 255},
    {"target id", 255},
    {"LUN", 255},
};

// Returns text split at every ':'.
std::vector<std::string> splitAtColons(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// Returns the decimal value of text when it is digits only and at most maximum.
std::optional<unsigned> decimalField(const std::string& text, unsigned maximum) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<TargetAddress> parseHostTargetLun(const std::string& text, std::string& why) {
    const std::vector<std::string> parts = splitAtColons(text);
    if (parts.size() != 3) {
        why = "'" + text + "' is not H:T:L (host adapter, target id and LUN, e.g. 0:4:0)";
        return std::nullopt;
    }
    unsigned values[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        const std::optional<unsigned> value = decimalField(parts[i], kFields[i].maximum);
        if (!value) {
            why = "'" + text + "': " + kFields[i].name + " '" + parts[i] + "' is not a number from 0 to " +
                  std::to_string(kFields[i].maximum);
            return std::nullopt;
        }
        values[i] = *value;
    }
    return TargetAddress{static_cast<uint8_t>(values[0]), static_cast<uint8_t>(values[1]),
                         static_cast<uint8_t>(values[2])};
}

}  // namespace

std::optional<TargetAddress> resolve_changer_address(const std::string& text, std::string& why) {
    if (is_iscsi_address(text))
        return use_iscsi_address(text, why);
    if (text.starts_with("/dev/"))
        return use_sg_device_address(text, why);
    return parseHostTargetLun(text, why);
}

std::string format_target_address(const TargetAddress& target) {
    return std::to_string(target.hostAdapter) + ":" + std::to_string(target.targetId) + ":" +
           std::to_string(target.lun);
}

}  // namespace karvel::ctl
