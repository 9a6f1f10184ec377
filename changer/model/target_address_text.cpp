// SPDX-License-Identifier: MIT
#include "changer_model/target_address_text.h"

#include <charconv>
#include <vector>

namespace karvel::model {

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
std::vector<std::string_view> splitAtColons(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t colon = text.find(':');
        parts.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return parts;
        text.remove_prefix(colon + 1);
    }
}

// Returns the decimal value of text when it is digits only and at most maximum.
std::optional<unsigned> decimalField(std::string_view text, unsigned maximum) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > maximum)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<TargetAddress> parseTargetAddress(std::string_view text, std::string& why) {
    const std::string quoted = "'" + std::string(text) + "'";
    const std::vector<std::string_view> parts = splitAtColons(text);
    if (parts.size() != 3) {
        why = quoted + " is not H:T:L (host adapter, target id and LUN, e.g. 0:4:0)";
        return std::nullopt;
    }
    unsigned values[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        const std::optional<unsigned> value = decimalField(parts[i], kFields[i].maximum);
        if (!value) {
            why = quoted + ": " + kFields[i].name + " '" + std::string(parts[i]) + "' is not a number from 0 to " +
                  std::to_string(kFields[i].maximum);
            return std::nullopt;
        }
        values[i] = *value;
    }
    return TargetAddress{static_cast<uint8_t>(values[0]), static_cast<uint8_t>(values[1]),
                         static_cast<uint8_t>(values[2])};
}

std::string formatTargetAddress(const TargetAddress& target) {
    return std::to_string(target.hostAdapter) + ":" + std::to_string(target.targetId) + ":" +
           std::to_string(target.lun);
}

}  // namespace karvel::model
