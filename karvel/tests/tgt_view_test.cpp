// SPDX-License-Identifier: MIT
// The real main dialog on a standard SMC changer: tgt on loopback, through the iSCSI
// transport. tgt keeps no fullness records (READ BUFFER is refused), and its storage
// starts at 100h.
#include <array>
#include <memory>

#include <gtest/gtest.h>

#include "changer_app.h"
#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "scripted_modal_services.h"
#include "tgt_changer.h"

namespace karvel::test {
namespace {

TEST(TgtView, StandardChangerShowsItsSlotsAndTheDiscInADrive) {
    TgtChangerLayout layout;
    layout.slotCount = 30;
    layout.fullSlots = {0, 1, 2, 29};
    TgtChanger changer(layout);

    CChangerApp app;
    app.m_adapterCount = static_cast<uint8_t>(GetAspi32Info() & 0xFF);
    ScriptedModalServices modal;
    auto dlg = std::make_unique<CChangerDlg>(app);
    dlg->createWindow();
    ASSERT_EQ(dlg->m_config.target.lun, TgtChanger::kChangerLun);

    // Load the disc of the second slot into the first drive, then look again.
    TestUnitReady(dlg->m_pSRB);
    ASSERT_EQ(MoveMedium(dlg->m_pSRB, layout.firstSlot + 1, layout.firstDrive, layout.pickerAddress), SS_COMP);
    dlg->RefreshView(dlg->m_config);

    QStringList rows;
    for (int i = 0; i < dlg->m_slotList.getCount(); ++i)
        rows << dlg->m_slotList.getText(i);
    QStringList expected;
    for (int i = 1; i <= 30; ++i)
        expected << QString::number(i);
    expected[0] = QStringLiteral("1 - Full");
    expected[1] = QStringLiteral("2 in Drive 1");
    expected[2] = QStringLiteral("3 - Full");
    expected[29] = QStringLiteral("30 - Full");
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(dlg->m_driveCombo.getCount(), 2);
    EXPECT_EQ(dlg->m_config.assignment.firstStorage, layout.firstSlot);
}

}  // namespace
}  // namespace karvel::test
