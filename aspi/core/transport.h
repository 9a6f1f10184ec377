// SPDX-License-Identifier: MIT
// The narrow interface between the ASPI layer and whatever carries SCSI commands
// (the simulated jukebox, the kernel's SG_IO, iSCSI). One transport serves one host
// adapter; the layer turns request blocks into CommandRequests and writes the
// CommandResult back into the block.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <karvel/wnaspi32.h>

#include "aspi_config/transport_line.h"

namespace aspi {

enum class DataDirection : uint8_t { none, in, out };

struct CommandRequest {
    uint8_t target = 0;
    uint8_t lun = 0;
    std::span<const uint8_t> cdb;  // exactly SRB_CDBLen bytes
    DataDirection direction = DataDirection::none;
    std::span<uint8_t> data;       // the caller's buffer, SRB_BufLen bytes; empty for none
};

struct CommandResult {
    uint8_t aspiStatus = SS_COMP;   // SS_COMP, SS_ERR, SS_ABORTED, SS_NO_DEVICE, ...
    uint8_t hostStatus = HASTAT_OK;
    uint8_t targetStatus = 0;       // SCSI status byte
    std::array<uint8_t, SRB_SENSE_AREA_LEN> sense{};
    uint8_t senseLength = 0;        // valid bytes in sense
};

class Transport {
public:
    virtual ~Transport() = default;

    // Runs one command to completion and returns its outcome; never throws for a device failure.
    virtual CommandResult execute(const CommandRequest& request) = 0;

    // Returns the peripheral device type at target/lun, or nothing when no device answers.
    virtual std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) = 0;

    // Called when a get-device-type probe of target 0, LUN 0 starts a new discovery scan,
    // so a transport can spend its expensive checks once per scan rather than per probe.
    virtual void beginScan() {}
};

// Builds the host adapters that one configuration line describes (an sg line may give several);
// throws ConfigError for a line it cannot use. The layer owns the transports.
using TransportFactory = std::vector<std::unique_ptr<Transport>> (*)(const TransportLine& line);

}  // namespace aspi
