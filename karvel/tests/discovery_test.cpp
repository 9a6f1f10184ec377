// SPDX-License-Identifier: MIT
// The dialog works on the changer that discovery finds (the changer model's tests cover the
// probes and their order).
#include <tuple>

#include "changer_dialog_fixture.h"

namespace karvel::test {
namespace {

auto address(const TargetAddress& t) {
    return std::make_tuple(t.hostAdapter, t.targetId, t.lun);
}

using DialogDiscoveryTest = ChangerDialogTest;

TEST_F(DialogDiscoveryTest, TheViewIsBuiltForTheChangerFound) {
    m_app.m_adapterCount = 1;
    m_app.m_defaultTarget = TargetAddress{0, 9, 4};  // nothing there; the fixture's changer is at 0/0/0
    open();
    EXPECT_EQ(m_aspi.probes().size(), 2u);
    EXPECT_EQ(address(m_dlg->m_config.target), std::make_tuple(0, 0, 0));
    ASSERT_FALSE(m_aspi.requests().empty());
    for (const SeenRequest& r : m_aspi.requests())
        EXPECT_EQ(std::make_tuple(r.haId, r.target, r.lun), std::make_tuple(0, 0, 0));
}

}  // namespace
}  // namespace karvel::test
