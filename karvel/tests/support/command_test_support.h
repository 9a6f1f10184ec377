// SPDX-License-Identifier: MIT
// Small readers for the commands' tests on the scripted fake: the requests a command sent and
// the addresses of a MOVE MEDIUM.
#pragma once

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>


#include "byte_order.h"
#include "scratch_profile.h"
#include "scripted_aspi.h"
#include "status_panel_texts.h"

namespace karvel::test {

// Returns the requests aspi saw after the first `before`.
inline std::vector<SeenRequest> requestsSince(const ScriptedAspi& aspi, size_t before) {
    std::vector<SeenRequest> all = aspi.requests();
    all.erase(all.begin(), all.begin() + static_cast<long>(std::min(before, all.size())));
    return all;
}

// Returns the operation codes of requests, in order.
inline std::vector<uint8_t> opcodesOf(const std::vector<SeenRequest>& requests) {
    std::vector<uint8_t> codes;
    for (const SeenRequest& r : requests)
        codes.push_back(r.cdb.at(0));
    return codes;
}

// Returns (transport, source, destination) of a MOVE MEDIUM CDB.
inline std::tuple<uint16_t, uint16_t, uint16_t> moveAddresses(const SeenRequest& move) {
    return {get_be16(&move.cdb.at(2)), get_be16(&move.cdb.at(4)), get_be16(&move.cdb.at(6))};
}

}  // namespace karvel::test
