// SPDX-License-Identifier: MIT
// The kernel's name of a SCSI device in sysfs: "H:C:T:L" (host, channel, target id, LUN).
#pragma once

#include <optional>
#include <string_view>

namespace aspi {

struct KernelScsiAddress {
    unsigned host = 0;
    unsigned channel = 0;
    unsigned target = 0;
    unsigned lun = 0;
};

// Returns the four parts of name when it is exactly four decimal numbers joined by ':', or nothing.
std::optional<KernelScsiAddress> parseKernelScsiAddress(std::string_view name);

}  // namespace aspi
