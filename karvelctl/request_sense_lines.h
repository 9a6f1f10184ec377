// SPDX-License-Identifier: MIT
// The request-sense lines the mtx command line writes on stderr when a request ends with
// CHECK CONDITION ("mtx: Request Sense: Sense Key=Not Ready", ...). Backup software reads
// them: Bacula retries a move when it sees "Error Code=", Amanda while it sees
// "Sense Key=Not Ready".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <karvel/wnaspi32.h>

namespace karvel::ctl {

// Returns the lines (each ending in '\n') for sense as the request block holds it.
std::string requestSenseLines(const std::array<uint8_t, SRB_SENSE_AREA_LEN>& sense);

}  // namespace karvel::ctl
