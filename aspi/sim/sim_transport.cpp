#include "sim_transport.h"

namespace aspi {

std::vector<std::unique_ptr<Transport>> make_sim_transports(const TransportLine&) {
    throw ConfigError("the sim transport is not built yet");
}

}  // namespace aspi
