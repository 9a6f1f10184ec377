#pragma once

#include "transport.h"

namespace aspi {

// Builds the host adapter(s) of a "iscsi" configuration line; throws ConfigError for a bad line.
std::vector<std::unique_ptr<Transport>> make_iscsi_transports(const TransportLine& line);

}  // namespace aspi
