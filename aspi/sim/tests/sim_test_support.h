// SPDX-License-Identifier: MIT
// Small helpers for the simulated jukebox's tests: one command sent through a transport with
// its outcome as plain values (scratch folders and files come from the shared test support).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "sim/sim_transport.h"

namespace aspi::sim::testing {

using karvel::test_support::readFile;
using karvel::test_support::ScratchDir;
using karvel::test_support::writeFile;

// (ASPI status, host status, sense key, ASC, ASCQ) of one command.
struct Status {
    uint8_t aspi, host, key, asc, ascq;
    bool operator==(const Status&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Status& s) {
    char text[64];
    std::snprintf(text, sizeof text, "{aspi %02X, host %02X, key %X, %02X/%02X}", s.aspi, s.host, s.key,
                  s.asc, s.ascq);
    return out << text;
}
inline constexpr Status kGood{SS_COMP, 0, 0, 0, 0};
// A CHECK CONDITION with sense key, ASC and ASCQ.
inline constexpr Status check(uint8_t key, uint8_t asc, uint8_t ascq) { return {SS_ERR, 0, key, asc, ascq}; }

struct Reply {
    CommandResult result;
    std::vector<uint8_t> data;
    Status status() const {
        return {result.aspiStatus, result.hostStatus, static_cast<uint8_t>(result.sense[2] & 0x0F),
                result.sense[12], result.sense[13]};
    }
};

// Sends cdb to target 0, LUN 0 of t with a buffer of dataLength bytes (or the bytes of out).
inline Reply send(Transport& t, std::vector<uint8_t> cdb, size_t dataLength = 0,
                  std::vector<uint8_t> out = {}) {
    Reply reply;
    reply.data = out.empty() ? std::vector<uint8_t>(dataLength, 0) : std::move(out);
    CommandRequest request;
    request.cdb = cdb;
    request.data = reply.data;
    reply.result = t.execute(request);
    return reply;
}

inline std::unique_ptr<SimTransport> openJukebox(const std::string& path, std::vector<std::string> keys = {}) {
    TransportLine line{"", 1, "sim", {path}};
    line.args.insert(line.args.end(), keys.begin(), keys.end());
    return std::make_unique<SimTransport>(parseSimLine(line));
}

// CDB builders for the commands the tests send most.
inline std::vector<uint8_t> moveCdb(uint16_t source, uint16_t destination, uint16_t transport = 0) {
    return {0xA5, 0, uint8_t(transport >> 8), uint8_t(transport), uint8_t(source >> 8), uint8_t(source),
            uint8_t(destination >> 8), uint8_t(destination), 0, 0, 0, 0};
}
inline std::vector<uint8_t> statusCdb(uint8_t type, uint16_t start, uint16_t count, uint32_t allocation) {
    return {0xB8, type, uint8_t(start >> 8), uint8_t(start), uint8_t(count >> 8), uint8_t(count), 0,
            uint8_t(allocation >> 16), uint8_t(allocation >> 8), uint8_t(allocation), 0, 0};
}
inline const std::vector<uint8_t> kTestUnitReady{0, 0, 0, 0, 0, 0};

}  // namespace aspi::sim::testing
