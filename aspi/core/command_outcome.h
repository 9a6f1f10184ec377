// SPDX-License-Identifier: MIT
// How a finished command becomes a CommandResult. Shared by every transport that talks to
// real hardware (SG_IO, iSCSI) so that the same failure reads the same in SRB_Status,
// SRB_HaStat, SRB_TargStat and SenseArea whichever way the command travelled.
#pragma once

#include <cstdint>
#include <span>

#include "transport.h"

namespace aspi {

// What the path to the target reported, besides the target's own status byte.
enum class HostCondition : uint8_t {
    ok,
    selection_timeout,  // no device answered at the address
    data_overrun,       // the target moved more data than the buffer holds
    bus_free,           // the connection to the target went away during the command
    phase_failure,      // the transfer protocol broke down
    timed_out,          // our deadline passed; the command was given up
    aborted,            // the command was cancelled on the way
    other_failure,      // a host failure without a closer ASPI code
};

// Returns the result for a command that ended with host and the SCSI status byte scsiStatus;
// sense (borrowed) is copied when the target reported CHECK CONDITION.
CommandResult command_result(HostCondition host, uint8_t scsiStatus, std::span<const uint8_t> sense);

// Returns the result for a command whose target could not be reached at all.
CommandResult no_device_result();

}  // namespace aspi
