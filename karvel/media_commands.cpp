// SPDX-License-Identifier: MIT
// Mount, UnMount, Import, Export and Reset. Each runs to completion, changes at most one row
// of the slot list (Reset rebuilds it) and ends by repainting, so the status panel shows the
// last command sent. A command whose lists have no selection sends nothing.
#include <array>

#include "changer_dlg.h"
#include "changer_model/element_status.h"
#include "changer_model/element_type.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "slot_rows.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

using namespace karvel;

namespace {

constexpr uint32_t kDriveStatusLength = 32;  // the headers and one 16-byte descriptor

}  // namespace

void CChangerDlg::OnMount() {
    const QString inDrive = res::loadString(res::kStrSlotInDrive);
    const int slot = m_slotList.getCurSel();
    const int drive = m_driveCombo.getCurSel();
    const int transport = m_transportCombo.getCurSel();
    if (slot < 0 || drive < 0 || transport < 0)
        return;
    const ElementAddressAssignment& a = m_config.assignment;

    TestUnitReady(m_pSRB);
    ui::beginWaitCursor();
    if (MoveMedium(m_pSRB, elementAddress(slot, a.firstStorage), elementAddress(drive, a.firstDataTransfer),
                   elementAddress(transport, a.firstTransport)) == SS_COMP) {
        replaceSlotRow(m_slotList, slot, res::formatString(inDrive, {slot + 1, m_driveBase + drive + 1}));
        m_slotList.setCurSel(slot);
    }
    ui::endWaitCursor();
    Invalidate();
}

void CChangerDlg::OnUnMount() {
    const QString full = res::loadString(res::kStrSlotFull);
    const int drive = m_driveCombo.getCurSel();
    const int transport = m_transportCombo.getCurSel();
    if (drive < 0 || transport < 0)
        return;
    const ElementAddressAssignment& a = m_config.assignment;
    const uint16_t driveAddress = elementAddress(drive, a.firstDataTransfer);

    TestUnitReady(m_pSRB);
    ui::beginWaitCursor();
    std::array<uint8_t, kDriveStatusLength> status{};
    if (ReadElementStatus(m_pSRB, model::elementTypeCode(model::ElementType::dataTransfer), driveAddress, 1,
                          kDriveStatusLength, status.data()) == SS_COMP) {
        const uint16_t home =
            model::fixedStrideDescriptor(status, status.size(), 0, model::ElementType::dataTransfer)->source;
        if (MoveMedium(m_pSRB, driveAddress, home, elementAddress(transport, a.firstTransport)) == SS_COMP) {
            // The slot at address home is a row like any other: its address minus the first
            // storage address. The operator's selection stays where it was.
            const int row = int{home} - int{a.firstStorage};
            if (row >= 0 && row < m_slotList.getCount()) {
                const int selected = m_slotList.getCurSel();
                replaceSlotRow(m_slotList, row, res::formatString(full, {row + 1}));
                if (selected >= 0)
                    m_slotList.setCurSel(selected);
            }
        }
    }
    ui::endWaitCursor();
    Invalidate();
}

void CChangerDlg::OnImport() {
    const QString full = res::loadString(res::kStrSlotFull);
    const int port = m_ieCombo.getCurSel();
    const int slot = m_slotList.getCurSel();
    const int transport = m_transportCombo.getCurSel();
    if (port < 0 || slot < 0 || transport < 0)
        return;
    const ElementAddressAssignment& a = m_config.assignment;
    const uint16_t portAddress = elementAddress(port, a.firstImportExport);
    const uint16_t transportAddress = elementAddress(transport, a.firstTransport);

    TestUnitReady(m_pSRB);
    if (PositionToElement(m_pSRB, portAddress, transportAddress) == SS_COMP) {
        ui::showMessage(QStringLiteral("Load the disc into the changer"), ui::MessageIcon::exclamation);
        TestUnitReady(m_pSRB);
        TestUnitReady(m_pSRB);
    }
    ui::beginWaitCursor();
    if (MoveMedium(m_pSRB, portAddress, elementAddress(slot, a.firstStorage), transportAddress) == SS_COMP) {
        replaceSlotRow(m_slotList, slot, res::formatString(full, {slot + 1}));
        m_slotList.setCurSel(slot);
    }
    ui::endWaitCursor();
    Invalidate();
}

void CChangerDlg::OnExport() {
    const QString empty = res::loadString(res::kStrSlotEmpty);
    const int slot = m_slotList.getCurSel();
    const int port = m_ieCombo.getCurSel();
    const int transport = m_transportCombo.getCurSel();
    if (slot < 0 || port < 0 || transport < 0)
        return;
    const ElementAddressAssignment& a = m_config.assignment;

    TestUnitReady(m_pSRB);
    ui::beginWaitCursor();
    if (MoveMedium(m_pSRB, elementAddress(slot, a.firstStorage), elementAddress(port, a.firstImportExport),
                   elementAddress(transport, a.firstTransport)) == SS_COMP) {
        replaceSlotRow(m_slotList, slot, res::formatString(empty, {slot + 1}));
        m_slotList.setCurSel(slot);
    }
    ui::endWaitCursor();
    Invalidate();
}

void CChangerDlg::OnReset() {
    TestUnitReady(m_pSRB);
    ui::beginWaitCursor();
    if (Rezero(m_pSRB) == SS_COMP) {
        FillSlotList(m_config);
        ShowDriveContents(m_config);
    }
    ui::endWaitCursor();
    Invalidate();
}
