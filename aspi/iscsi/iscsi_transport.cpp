#include "iscsi_transport.h"

namespace aspi {

std::vector<std::unique_ptr<Transport>> make_iscsi_transports(const TransportLine&) {
    throw ConfigError("the iscsi transport is not built yet");
}

}  // namespace aspi
