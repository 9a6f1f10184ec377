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
    selectionTimeout,  // no device answered at the address
    dataOverrun,       // the target moved more data than the buffer holds
    busFree,           // the connection to the target went away during the command
    phaseFailure,      // the transfer protocol broke down
    timedOut,          // our deadline passed; the command was given up
    aborted,            // the command was cancelled on the way
    otherFailure,      // a host failure without a closer ASPI code
};

// Returns the result for a command that ended with host and the SCSI status byte scsiStatus;
// sense (borrowed) is copied when the target reported CHECK CONDITION.
CommandResult commandResult(HostCondition host, uint8_t scsiStatus, std::span<const uint8_t> sense);

// Returns the result for a command whose target could not be reached at all.
CommandResult noDeviceResult();

}  // namespace aspi
