// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>

#include "aspi_layer.h"
#include "layer_probe.h"
#include "tgt_changer.h"

namespace {

using karvel::test::probe;
using karvel::test::TgtChanger;

TEST(TgtTargets, ArePortalTargetIdsInDiscoveryOrder) {
    TgtChanger changer;
    changer.tgtadm({"--mode", "target", "--op", "new", "--tid", "2", "--targetname", changer.targetName() + "-second"});
    changer.tgtadm({"--mode", "logicalunit", "--op", "new", "--tid", "2", "--lun", "3", "--device-type", "cd"});
    changer.tgtadm({"--mode", "target", "--op", "bind", "--tid", "2", "--initiator-address", "ALL"});
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(changer.configPath());

    // tgt's SendTargets answer lists the newest target first: target id 0 is the second target.
    using Probe = std::tuple<uint8_t, uint8_t, std::tuple<uint32_t, int>>;
    for (auto [target, lun, expected] :
         {Probe{0, 0, {SS_COMP, 0x0C}}, Probe{0, 3, {SS_COMP, 5}}, Probe{0, TgtChanger::kChangerLun, {SS_NO_DEVICE, -1}},
          Probe{1, TgtChanger::kChangerLun, {SS_COMP, 8}}, Probe{1, 3, {SS_COMP, 5}},
          Probe{2, 0, {SS_NO_DEVICE, -1}}, Probe{255, 0, {SS_NO_DEVICE, -1}}})
        EXPECT_EQ(probe(layer, target, lun), expected) << "target " << int(target) << " LUN " << int(lun);
}

}  // namespace
