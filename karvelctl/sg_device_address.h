// SPDX-License-Identifier: MIT
// Which ASPI address a local /dev/sgN has once karvelctl serves it through a private `sg`
// layer configuration: the kernel's H:C:T:L from sysfs, and the adapter number the sg transport
// gives host H (its rank among the local SCSI hosts in ascending host number).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace karvel::ctl {

struct SgDeviceAddress {
    uint8_t adapter = 0;  // host adapter number under a configuration whose only line is `sg`
    uint8_t target = 0;
    uint8_t lun = 0;
    unsigned host = 0;    // the kernel's SCSI host number, for messages
};

// Returns true when text has the form /dev/sgN (N decimal digits), whether or not it exists.
bool isSgDevicePath(const std::string& text);

// Returns the address of devicePath (/dev/sgN) as sysfs under sysfsRoot describes it, or
// nothing with why set to one line saying what stands in the way (no such device, a channel
// other than 0, a host the sg transport does not list, ...).
std::optional<SgDeviceAddress> resolveSgDevice(const std::string& devicePath, std::string& why,
                                                 const std::string& sysfsRoot = "/sys");

}  // namespace karvel::ctl
