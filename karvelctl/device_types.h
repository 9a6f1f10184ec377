// SPDX-License-Identifier: MIT
// Names of SCSI peripheral device types, as `inquiry` and `list` print them.
#pragma once

#include <cstdint>
#include <string>

namespace karvel::ctl {

// Returns the name of peripheral device type (INQUIRY byte 0, bits 4-0), e.g. "Medium Changer".
std::string deviceTypeName(uint8_t type);

}  // namespace karvel::ctl
