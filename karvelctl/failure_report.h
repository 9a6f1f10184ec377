// SPDX-License-Identifier: MIT
// A failed request to the changer, told on stderr as the mtx command line tells it (its
// request-sense lines and a line naming the command), then Nevsel's texts of how it ended.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include <karvel/wnaspi32.h>

namespace karvel::ctl {

struct FailedRequest {
    std::string heading;   // e.g. "MOVE MEDIUM from Element Address 1 to 16384 Failed"
    uint8_t status = 0;    // SRB_Status
    uint8_t hostStatus = 0;
    uint8_t targetStatus = 0;
    std::array<uint8_t, SRB_SENSE_AREA_LEN> sense{};
    std::string problem;   // set instead of a request's outcome when the answer itself is unusable
    bool senseLines = true;  // mtx's request-sense lines come first (never for a positioning)
    std::string trailer;     // mtx's line after the heading, e.g. "mtx:inventory failed"
};

// Returns heading with the outcome that srb holds (copied; srb stays the caller's).
FailedRequest failedRequest(std::string heading, const SRBunion& srb);
// Returns heading for a request that completed but whose answer cannot be used, and why.
FailedRequest unusableAnswer(std::string heading, std::string problem);

// Writes the report of failure to err as mtx does (its request-sense lines on CHECK CONDITION,
// the heading, the trailer), then Nevsel's texts of how the request ended, indented.
void reportFailure(std::ostream& err, const FailedRequest& failure);

// Returns the sense key, ASC and ASCQ of sense in fixed (70h/71h) or descriptor (72h/73h)
// format.
struct SenseCodes {
    uint8_t key = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
};
SenseCodes senseCodes(const std::array<uint8_t, SRB_SENSE_AREA_LEN>& sense);

}  // namespace karvel::ctl
