// SPDX-License-Identifier: MIT
// The commands on tgt, a standard SMC changer on loopback through the iSCSI transport: Mount
// and UnMount move real media (read back with a request block of the test's own), and Reset,
// which such a changer does not know, shows its refusal in the status panel.
#include <array>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "byte_order.h"
#include "changer_app.h"
#include "changer_dlg.h"
#include "scratch_profile.h"
#include "status_panel_texts.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "resources/resource_ids.h"
#include "scripted_modal_services.h"
#include "tgt_changer.h"

namespace karvel::test {
namespace {

// (full, source address) of the data transfer element at address, asked with a fresh block.
std::tuple<bool, uint16_t> driveState(const SRBunion& addressed, uint16_t address) {
    SRBunion srb{};
    srb.exec.SRB_HaId = addressed.exec.SRB_HaId;
    srb.exec.SRB_Target = addressed.exec.SRB_Target;
    srb.exec.SRB_Lun = addressed.exec.SRB_Lun;
    std::array<uint8_t, 32> data{};
    if (ReadElementStatus(&srb, 4, address, 1, data.size(), data.data()) != SS_COMP)
        return {false, 0xFFFF};
    return {(data[18] & 0x01) != 0, get_be16(&data[26])};
}

TEST(TgtCommands, MountAndUnMountMoveRealMediaAndResetShowsItsRefusal) {
    TgtChangerLayout layout;  // storage from 100h, drives from 01h, picker at 40h
    layout.slotCount = 30;    // enough slots for the view to show which are full
    TgtChanger changer(layout);
    CChangerApp app;
    app.m_adapterCount = static_cast<uint8_t>(GetAspi32Info() & 0xFF);
    ScriptedModalServices modal;
    auto dlg = std::make_unique<CChangerDlg>(app);
    dlg->createWindow();
    ASSERT_EQ(dlg->m_config.assignment.firstStorage, layout.firstSlot);

    dlg->m_slotList.setCurSel(1);
    dlg->m_driveCombo.setCurSel(0);
    dlg->OnMount();
    EXPECT_EQ(driveState(*dlg->m_pSRB, layout.firstDrive),
              std::make_tuple(true, static_cast<uint16_t>(layout.firstSlot + 1)));
    EXPECT_EQ(dlg->m_slotList.getText(1), QStringLiteral("2 in Drive 1"));

    dlg->OnUnMount();
    EXPECT_EQ(std::get<0>(driveState(*dlg->m_pSRB, layout.firstDrive)), false);
    EXPECT_EQ(dlg->m_slotList.getText(1), QStringLiteral("2 - Full"));
    dlg->RefreshView(dlg->m_config);  // the changer's own view agrees
    EXPECT_EQ(dlg->m_slotList.getText(1), QStringLiteral("2 - Full"));

    const int rows = dlg->m_slotList.getCount();
    dlg->OnReset();
    dlg->OnPaint();
    EXPECT_EQ(dlg->itemText(res::kIdAscAscq), QStringLiteral("Invalid Command Operation Code"));
    EXPECT_EQ(dlg->m_slotList.getCount(), rows);
}

}  // namespace
}  // namespace karvel::test
