// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "aspi_layer.h"
#include "layer_probe.h"
#include "tgt_changer.h"

namespace {

using karvel::test::probe;
using karvel::test::TgtChanger;
using karvel::test::TgtChangerLayout;

// Returns (SRB_Status, SRB_HaStat) of an INQUIRY to target 0 at lun.
std::tuple<uint32_t, int> inquiry(aspi::AspiLayer& layer, uint8_t lun) {
    uint8_t data[36]{};
    SRBunion block{};
    block.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    block.exec.SRB_Lun = lun;
    block.exec.SRB_CDBLen = 6;
    block.exec.SRB_SenseLen = SENSE_LEN;
    block.exec.SRB_BufLen = sizeof data;
    block.exec.SRB_BufPointer = data;
    block.exec.CDBByte[0] = 0x12;
    block.exec.CDBByte[4] = sizeof data;
    uint32_t status = layer.send(&block);
    return {status, block.exec.SRB_HaStat};
}

// Writes a one-line configuration naming portal URL/target (plus suffix) beside the changer's.
std::string namedConfig(const TgtChanger& changer, const std::string& target, const std::string& suffix = "") {
    std::string path = changer.configPath() + ".named";
    std::ofstream(path) << "iscsi " << changer.portalUrl() << "/" << target << suffix << "\n";
    return path;
}

using Probe = std::tuple<uint8_t /*target*/, uint8_t /*lun*/, std::tuple<uint32_t, int> /*status, type*/>;
using NamedCase = std::tuple<const char* /*name*/, bool /*second target named*/, std::vector<Probe>>;

class TgtNamedTarget : public ::testing::TestWithParam<NamedCase> {};

// A second target is added first: tgt lists the newest target first, so under discovery the
// changer's target would be id 1. Naming a target makes it id 0 whatever the portal lists.
TEST_P(TgtNamedTarget, IsTargetZeroAndTheOnlyTarget) {
    auto [name, nameSecond, probes] = GetParam();
    TgtChanger changer;
    std::string second = changer.targetName() + "-second";
    changer.tgtadm({"--mode", "target", "--op", "new", "--tid", "2", "--targetname", second});
    changer.tgtadm({"--mode", "logicalunit", "--op", "new", "--tid", "2", "--lun", "3", "--device-type", "cd"});
    changer.tgtadm({"--mode", "target", "--op", "bind", "--tid", "2", "--initiator-address", "ALL"});
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(namedConfig(changer, nameSecond ? second : changer.targetName()));
    ASSERT_TRUE(layer.ready());
    for (auto [target, lun, expected] : probes)
        EXPECT_EQ(probe(layer, target, lun), expected) << name << ": target " << int(target) << " LUN " << int(lun);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TgtNamedTarget,
    ::testing::Values(
        NamedCase{"changer's target", false,
                  {Probe{0, TgtChanger::kChangerLun, {SS_COMP, 8}}, Probe{0, 0, {SS_COMP, 0x0C}},
                   Probe{0, TgtChanger::driveLun(0), {SS_COMP, 5}}, Probe{0, 7, {SS_NO_DEVICE, -1}},
                   Probe{1, TgtChanger::kChangerLun, {SS_NO_DEVICE, -1}}, Probe{1, 0, {SS_NO_DEVICE, -1}}}},
        NamedCase{"second target", true,
                  {Probe{0, 3, {SS_COMP, 5}}, Probe{0, TgtChanger::kChangerLun, {SS_NO_DEVICE, -1}},
                   Probe{1, TgtChanger::kChangerLun, {SS_NO_DEVICE, -1}}}}),
    [](const auto& testInfo) { return testInfo.index == 0 ? std::string("ChangersTarget") : std::string("SecondTarget"); });

TEST(TgtNamedTarget, WithChapLogsInWithTheLinesCredentials) {
    TgtChangerLayout layout;
    layout.chapUser = "operator";
    layout.chapPassword = "named-target-secret";
    TgtChanger changer(layout);
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(
        namedConfig(changer, changer.targetName(), " user=operator password=named-target-secret"));
    EXPECT_EQ(probe(layer, 0, TgtChanger::kChangerLun), std::make_tuple(uint32_t{SS_COMP}, 8));
}

TEST(TgtNamedTarget, WrongNameFindsNoDeviceAndSaysSoOnce) {
    TgtChanger changer;
    std::string wrong = changer.targetName() + "-wrong";
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(namedConfig(changer, wrong));
    ASSERT_TRUE(layer.ready());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(probe(layer, 0, TgtChanger::kChangerLun), std::make_tuple(uint32_t{SS_NO_DEVICE}, -1));
    EXPECT_EQ(inquiry(layer, TgtChanger::kChangerLun), std::make_tuple(uint32_t{SS_NO_DEVICE}, int{HASTAT_SEL_TO}));
    EXPECT_EQ(inquiry(layer, TgtChanger::kChangerLun), std::make_tuple(uint32_t{SS_NO_DEVICE}, int{HASTAT_SEL_TO}));
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    for (const std::string& part : {"wnaspi32: " + changer.portalUrl() + " target " + wrong + ": ", std::string("login failed")})
        EXPECT_NE(said.find(part), std::string::npos) << said;
}

}  // namespace
