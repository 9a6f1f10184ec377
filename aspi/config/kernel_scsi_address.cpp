// SPDX-License-Identifier: MIT
#include "aspi_config/kernel_scsi_address.h"

#include <charconv>

namespace aspi {

namespace {

// Returns the value of text when it is decimal digits only.
std::optional<unsigned> wholeNumber(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<KernelScsiAddress> parseKernelScsiAddress(std::string_view name) {
    unsigned parts[4] = {};
    for (size_t i = 0; i < 4; ++i) {
        const size_t colon = name.find(':');
        if ((colon == std::string_view::npos) != (i == 3))
            return std::nullopt;
        const std::optional<unsigned> value = wholeNumber(name.substr(0, colon));
        if (!value)
            return std::nullopt;
        parts[i] = *value;
        if (i < 3)
            name.remove_prefix(colon + 1);
    }
    return KernelScsiAddress{parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace aspi
