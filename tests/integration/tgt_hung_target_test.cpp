// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>

#include "aspi_layer.h"
#include "iscsi/iscsi_transport.h"
#include "tgt_changer.h"

namespace {

using namespace std::chrono_literals;
using karvel::test::TgtChanger;

// (SRB_Status, SRB_HaStat) of a TEST UNIT READY to the changer.
std::tuple<int, int> testUnitReady(aspi::AspiLayer& layer) {
    SRBunion srb{};
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_Lun = TgtChanger::kChangerLun;
    srb.exec.SRB_CDBLen = 6;
    srb.exec.SRB_SenseLen = SENSE_LEN;
    int status = static_cast<int>(layer.send(&srb));
    return {status, srb.exec.SRB_HaStat};
}

// A target that stops answering: the command in flight is given up at its deadline (aborted),
// later ones cost one bounded login attempt each (no device), and once the target answers again
// the same layer goes on.
TEST(TgtHungTarget, CommandIsAbortedAtItsDeadlineAndTheLayerRecovers) {
    TgtChanger changer;
    std::vector<std::unique_ptr<aspi::Transport>> adapters;
    adapters.push_back(aspi::makeIscsiTransport(aspi::IscsiPortal{"127.0.0.1", changer.port(), "", "", ""},
                                                  aspi::IscsiTiming{300ms, 300ms}));
    aspi::AspiLayer layer(std::move(adapters));
    testUnitReady(layer);  // the new session's unit attention
    ASSERT_EQ(testUnitReady(layer), std::make_tuple(SS_COMP, HASTAT_OK));

    changer.freeze();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(testUnitReady(layer), std::make_tuple(SS_ABORTED, HASTAT_OK));
    EXPECT_EQ(testUnitReady(layer), std::make_tuple(SS_NO_DEVICE, HASTAT_SEL_TO));
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no answer within 300 ms"), std::string::npos) << "[" << said << "]";

    changer.thaw();
    testUnitReady(layer);
    EXPECT_EQ(testUnitReady(layer), std::make_tuple(SS_COMP, HASTAT_OK));
}

}  // namespace
