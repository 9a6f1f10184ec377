// SPDX-License-Identifier: MIT
// Finding the changer: the saved target first, then a scan of every host adapter, target id
// and LUN, LUN innermost.
#include <tuple>
#include <vector>

#include "changer_dialog_fixture.h"
#include "changer_model/changer_discovery.h"

namespace karvel::test {
namespace {

struct Device {
    uint8_t ha, target, lun, type;
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
    };
    for (const DiscoveryCase& c : cases) {
        ScriptedAspi aspi;
        aspi.setSupportValue(0x0100 | c.adapters);
        for (const Device& d : c.devices)
            aspi.addDevice(d.ha, d.target, d.lun, d.type);
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

using DialogDiscoveryTest = ChangerDialogTest;

TEST_F(DialogDiscoveryTest, TheViewIsBuiltForTheChangerFound) {
    app.m_adapterCount = 1;
    app.m_defaultTarget = TargetAddress{0, 9, 4};  // nothing there; the fixture's changer is at 0/0/0
    open();
    EXPECT_EQ(aspi.probes().size(), 2u);
    EXPECT_EQ(address(dlg->m_config.target), std::make_tuple(0, 0, 0));
    ASSERT_FALSE(aspi.requests().empty());
    for (const SeenRequest& r : aspi.requests())
        EXPECT_EQ(std::make_tuple(r.haId, r.target, r.lun), std::make_tuple(0, 0, 0));
}

}  // namespace
}  // namespace karvel::test
