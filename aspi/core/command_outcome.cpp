// SPDX-License-Identifier: MIT
#include "command_outcome.h"

#include <algorithm>

#include "scsi_codes.h"

namespace aspi {

namespace {

constexpr uint8_t kConditionMet = 0x04;

struct HostMapping {
    HostCondition condition;
    uint8_t aspiStatus;
    uint8_t hostStatus;
};

constexpr HostMapping kHostMappings[] = {
    {HostCondition::ok, SS_COMP, HASTAT_OK},
    {HostCondition::selectionTimeout, SS_NO_DEVICE, HASTAT_SEL_TO},
    {HostCondition::dataOverrun, SS_ERR, HASTAT_DO_DU},
    {HostCondition::busFree, SS_ERR, HASTAT_BUS_FREE},
    {HostCondition::phaseFailure, SS_ERR, HASTAT_PHASE_ERR},
    {HostCondition::timedOut, SS_ABORTED, HASTAT_OK},
    {HostCondition::aborted, SS_ABORTED, HASTAT_OK},
    {HostCondition::otherFailure, SS_ERR, HASTAT_OK},
};

}  // namespace

CommandResult commandResult(HostCondition host, uint8_t scsiStatus, std::span<const uint8_t> sense) {
    CommandResult result;
    const auto* mapping = std::find_if(std::begin(kHostMappings), std::end(kHostMappings),
                                       [host](const HostMapping& m) { return m.condition == host; });
    result.aspiStatus = mapping->aspiStatus;
    result.hostStatus = mapping->hostStatus;
    result.targetStatus = scsiStatus;

    bool targetGood = scsiStatus == karvel::scsi::GOOD || scsiStatus == kConditionMet;
    if (result.aspiStatus == SS_COMP && !targetGood) result.aspiStatus = SS_ERR;
    if (scsiStatus == karvel::scsi::CHECK_CONDITION) {
        result.senseLength = static_cast<uint8_t>(std::min(sense.size(), result.sense.size()));
        std::copy_n(sense.begin(), result.senseLength, result.sense.begin());
    }
    return result;
}

CommandResult noDeviceResult() {
    return commandResult(HostCondition::selectionTimeout, karvel::scsi::GOOD, {});
}

}  // namespace aspi
