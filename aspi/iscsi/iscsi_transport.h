// SPDX-License-Identifier: MIT
// The iSCSI transport: one host adapter per portal; the portal's targets, in the order its
// SendTargets discovery lists them, are target ids 0, 1, ...; LUNs are LUNs. A line that names
// one target serves just that target, as target id 0, without discovery.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "aspi_config/iscsi_portal.h"
#include "transport.h"

namespace aspi {

struct IscsiTiming {
    // Longest wait for a connection and its login, and for a discovery's answer; a portal that
    // does not answer costs this once per discovery scan.
    std::chrono::milliseconds connect{5000};
    // When set, every command gets this long instead of its operation code's timeout (tests).
    std::optional<std::chrono::milliseconds> command;
};

// Builds the host adapter(s) of a "iscsi" configuration line; throws ConfigError for a bad line.
std::vector<std::unique_ptr<Transport>> makeIscsiTransports(const TransportLine& line);

// Returns the host adapter for portal with the given timing (tests shorten it).
std::unique_ptr<Transport> makeIscsiTransport(const IscsiPortal& portal, IscsiTiming timing);

}  // namespace aspi
