#include "sg_transport.h"

namespace aspi {

// Until the SG_IO transport exists, an sg line serves no host adapters.
std::vector<std::unique_ptr<Transport>> make_sg_transports(const TransportLine&) { return {}; }

}  // namespace aspi
