// SPDX-License-Identifier: MIT
// Finding the changer: the saved target first, then a scan of every host adapter, target id
// and LUN, LUN innermost.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "changer_model/changer_discovery.h"
#include "scripted_aspi.h"

namespace karvel::test {
namespace {

struct Device {
    uint8_t ha, target, lun, type;
    uint8_t status = SS_COMP;  // of the probe, which writes the type whatever it says
};

struct DiscoveryCase {
    const char* what;
    uint8_t adapters;
    TargetAddress saved;
    std::vector<Device> devices;
    TargetAddress expected;
    size_t expectedProbes;
};

auto address(const TargetAddress& t) {
    return std::make_tuple(t.hostAdapter, t.targetId, t.lun);
}

TEST(ChangerDiscovery, ProbesTheSavedTargetThenScansInOrder) {
    const std::vector<DiscoveryCase> cases = {
        {"saved target is a changer", 2, {0, 3, 0}, {{0, 3, 0, 8}, {0, 1, 0, 8}}, {0, 3, 0}, 1},
        {"no adapters: no scan", 0, {0, 5, 0}, {{0, 1, 0, 8}}, {0, 5, 0}, 1},
        {"nothing found: the saved target", 1, {0, 6, 1}, {{0, 2, 0, 5}}, {0, 6, 1}, 1 + 128},
        {"second adapter, after all of the first", 2, {0, 0, 0}, {{1, 2, 5, 8}}, {1, 2, 5}, 1 + 128 + 2 * 8 + 5 + 1},
        {"a disk at the saved target", 1, {0, 0, 0}, {{0, 0, 0, 0}, {0, 0, 1, 8}}, {0, 0, 1}, 1 + 2},
        {"the scan does not skip the saved target", 1, {0, 4, 0}, {{0, 1, 7, 8}}, {0, 1, 7}, 1 + 16},
        {"type 8 from a failed probe is no changer", 1, {0, 3, 0}, {{0, 3, 0, 8, SS_ERR}, {0, 5, 0, 8}},
         {0, 5, 0}, 1 + 5 * 8 + 1},
    };
    for (const DiscoveryCase& c : cases) {
        ScriptedAspi aspi;
        aspi.setSupportValue(0x0100 | c.adapters);
        for (const Device& d : c.devices)
            aspi.addDevice(d.ha, d.target, d.lun, d.type, d.status);
        SRBunion srb{};
        const TargetAddress found = FindChanger(srb, c.saved, c.adapters);
        EXPECT_EQ(address(found), address(c.expected)) << c.what;
        const std::vector<SeenProbe> probes = aspi.probes();
        ASSERT_EQ(probes.size(), c.expectedProbes) << c.what;
        EXPECT_EQ(std::make_tuple(probes[0].haId, probes[0].target, probes[0].lun), address(c.saved)) << c.what;
        for (size_t i = 1; i < probes.size(); ++i) {
            const size_t n = i - 1;
            EXPECT_EQ(std::make_tuple(probes[i].haId, probes[i].target, probes[i].lun),
                      std::make_tuple(n / 128, n / 8 % 16, n % 8))
                << c.what << " probe " << i;
        }
        EXPECT_EQ(srb.gdev.SRB_Cmd, SC_GET_DEV_TYPE);
    }
}

TEST(ChangerDiscovery, TheScanVisitsEveryDeviceThatAnswersInOrderUntilTold) {
    ScriptedAspi aspi;
    aspi.setSupportValue(0x0102);
    aspi.addDevice(1, 0, 0, 8);
    aspi.addDevice(0, 15, 7, 1);
    aspi.addDevice(0, 2, 3, 0);
    using Seen = std::tuple<uint8_t, uint8_t, uint8_t, uint8_t>;
    for (const auto& [stopAfter, expected, stoppedAt] :
         {std::tuple<size_t, std::vector<Seen>, std::optional<Seen>>{
              99, {Seen{0, 2, 3, 0}, Seen{0, 15, 7, 1}, Seen{1, 0, 0, 8}}, std::nullopt},
          std::tuple<size_t, std::vector<Seen>, std::optional<Seen>>{
              2, {Seen{0, 2, 3, 0}, Seen{0, 15, 7, 1}}, Seen{0, 15, 7, 1}}}) {
        std::vector<Seen> seen;
        SRBunion srb{};
        const std::optional<TargetAddress> stopped =
            model::scanTargets(srb, 2, [&](TargetAddress at, uint8_t type) {
                seen.emplace_back(at.hostAdapter, at.targetId, at.lun, type);
                return seen.size() < stopAfter;
            });
        EXPECT_EQ(seen, expected);
        ASSERT_EQ(stopped.has_value(), stoppedAt.has_value());
        if (stopped) {
            EXPECT_EQ(std::make_tuple(stopped->hostAdapter, stopped->targetId, stopped->lun, std::get<3>(*stoppedAt)),
                      *stoppedAt);
        }
    }
}

}  // namespace
}  // namespace karvel::test
