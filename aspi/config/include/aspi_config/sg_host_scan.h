// SPDX-License-Identifier: MIT
// The local SCSI hosts and their devices as the kernel lists them in sysfs. Reading sysfs
// never touches a device, so a scan costs nothing even with a busy changer attached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aspi {

struct SgDevice {
    uint8_t target = 0;
    uint8_t lun = 0;
    uint8_t deviceType = 0;  // the kernel's peripheral device type
    std::string sgName;      // "sg3"; empty when the sg driver has no node for the device
};

struct SgHost {
    unsigned number = 0;
    std::vector<SgDevice> devices;  // channel 0 only, by target id then LUN
};

// Returns every SCSI host under sysfsRoot in ascending host number, with its channel-0 devices
// whose target id and LUN fit in a request block.
std::vector<SgHost> scanSgHosts(const std::string& sysfsRoot);

// Returns the channel-0 devices of host hostNumber under sysfsRoot (a fresh look).
std::vector<SgDevice> scanSgDevices(const std::string& sysfsRoot, unsigned hostNumber);

}  // namespace aspi
