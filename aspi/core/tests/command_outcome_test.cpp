// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>

#include "command_outcome.h"
#include "scsi_codes.h"

namespace aspi {
namespace {

using Outcome = std::tuple<HostCondition, uint8_t /*scsi status*/, uint8_t /*SRB_Status*/, uint8_t /*HaStat*/>;

class CommandOutcome : public ::testing::TestWithParam<Outcome> {};

TEST_P(CommandOutcome, MapsHostAndTargetStatus) {
    auto [host, scsiStatus, aspiStatus, hostStatus] = GetParam();
    CommandResult result = commandResult(host, scsiStatus, {});
    EXPECT_EQ(result.aspiStatus, aspiStatus);
    EXPECT_EQ(result.hostStatus, hostStatus);
    EXPECT_EQ(result.targetStatus, scsiStatus);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandOutcome,
    ::testing::Values(Outcome{HostCondition::ok, 0x00, SS_COMP, HASTAT_OK},
                      Outcome{HostCondition::ok, 0x04, SS_COMP, HASTAT_OK},  // condition met
                      Outcome{HostCondition::ok, 0x02, SS_ERR, HASTAT_OK},
                      Outcome{HostCondition::ok, 0x08, SS_ERR, HASTAT_OK},
                      Outcome{HostCondition::ok, 0x18, SS_ERR, HASTAT_OK},
                      Outcome{HostCondition::selectionTimeout, 0x00, SS_NO_DEVICE, HASTAT_SEL_TO},
                      Outcome{HostCondition::dataOverrun, 0x00, SS_ERR, HASTAT_DO_DU},
                      Outcome{HostCondition::busFree, 0x00, SS_ERR, HASTAT_BUS_FREE},
                      Outcome{HostCondition::phaseFailure, 0x00, SS_ERR, HASTAT_PHASE_ERR},
                      Outcome{HostCondition::timedOut, 0x00, SS_ABORTED, HASTAT_OK},
                      Outcome{HostCondition::aborted, 0x00, SS_ABORTED, HASTAT_OK},
                      Outcome{HostCondition::otherFailure, 0x00, SS_ERR, HASTAT_OK}));

TEST(CommandOutcomeSense, CopiedOnlyForCheckConditionAndCutToTheArea) {
    uint8_t sense[20] = {0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x3B, 0x0E, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    CommandResult checked = commandResult(HostCondition::ok, karvel::scsi::CHECK_CONDITION, sense);
    EXPECT_EQ(checked.senseLength, SRB_SENSE_AREA_LEN);
    EXPECT_EQ(std::make_tuple(checked.sense[2], checked.sense[12], checked.sense[13]),
              std::make_tuple(uint8_t{0x05}, uint8_t{0x3B}, uint8_t{0x0E}));
    CommandResult busy = commandResult(HostCondition::ok, karvel::scsi::BUSY, sense);
    EXPECT_EQ(busy.senseLength, 0);
}

}  // namespace
}  // namespace aspi
