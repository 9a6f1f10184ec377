// SPDX-License-Identifier: MIT
// The SG_IO transport: one host adapter per local SCSI host, commands through /dev/sgN.
#pragma once

#include <memory>

#include "sg_system.h"
#include "transport.h"

namespace aspi {

// Builds the host adapter(s) of a "sg" configuration line; throws ConfigError for a bad line.
std::vector<std::unique_ptr<Transport>> makeSgTransports(const TransportLine& line);

// The same on the given system (shared with every adapter built), for tests.
std::vector<std::unique_ptr<Transport>> makeSgTransports(const TransportLine& line,
                                                           std::shared_ptr<const SgSystem> system);

}  // namespace aspi
