// SPDX-License-Identifier: MIT
#include "device_types.h"

#include <cstdio>

namespace karvel::ctl {

namespace {

struct DeviceTypeName {
    uint8_t type;
    const char* name;
};

constexpr DeviceTypeName kDeviceTypeNames[] = {
    {0x00, "Disk Drive"},
    {0x01, "Tape Drive"},
    {0x02, "Printer"},
    {0x03, "Processor"},
    {0x04, "Write-once"},
    {0x05, "CD-ROM"},
    {0x06, "Scanner"},
    {0x07, "Optical"},
    {0x08, "Medium Changer"},
    {0x09, "Communications"},
    {0x0C, "Storage Array Controller"},
    {0x0D, "Enclosure Services"},
    {0x0E, "Simplified Direct Access"},
    {0x0F, "Optical Card Reader/Writer"},
    {0x11, "Object-based Storage"},
    {0x12, "Automation/Drive Interface"},
};

}  // namespace

std::string deviceTypeName(uint8_t type) {
    for (const DeviceTypeName& entry : kDeviceTypeNames)
        if (entry.type == type)
            return entry.name;
    char text[32];
    std::snprintf(text, sizeof text, "Device Type %02Xh", type);
    return text;
}

}  // namespace karvel::ctl
