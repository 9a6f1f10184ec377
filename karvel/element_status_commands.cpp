// SPDX-License-Identifier: MIT
// Initialize (INITIALIZE ELEMENT STATUS, over an address range on changers of more than 18
// slots) and Clear NVRAM (zeroes the changer's records of full slots).
#include <array>

#include "address_range_dlg.h"
#include "changer_dlg.h"
#include "changer_model/fullness_records.h"
#include "changer_model/initialize_range_page.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "progress_dlg.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "ui/dialog_template.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

using namespace karvel;

namespace {

constexpr int kSlotsWithoutRange = 18;
constexpr uint8_t kPageFormat = 1;
constexpr uint8_t kNoSavePages = 0;

}  // namespace

void CChangerDlg::OnInitialize() {
    const ElementAddressAssignment& a = m_config.assignment;
    if (!m_initializeRange)
        m_initializeRange = {int32_t{a.firstStorage}, int32_t{a.firstStorage} + int32_t{a.storageCount} - 1};

    TestUnitReady(m_pSRB);
    TestUnitReady(m_pSRB);

    if (a.storageCount <= kSlotsWithoutRange) {
        ui::beginWaitCursor();
        InitializeElementStatus(m_pSRB);
        ui::endWaitCursor();
        Invalidate();
        return;
    }

    CAddressRangeDlg prompt(this);
    prompt.m_firstLabel = QStringLiteral("Start Address");
    prompt.m_secondLabel = QStringLiteral("Stop Address");
    prompt.m_firstValue = m_initializeRange->first;
    prompt.m_secondValue = m_initializeRange->second;
    if (prompt.DoModal() != ui::kIdOk)
        return;
    // Only the low 16 bits of what was entered reach the page; all 32 are remembered.
    std::array<uint8_t, model::kInitializeRangeListLength> list = model::initializeRangeList(
        static_cast<uint16_t>(prompt.m_firstValue), static_cast<uint16_t>(prompt.m_secondValue));
    m_initializeRange = {prompt.m_firstValue, prompt.m_secondValue};

    auto* progress = new CProgressDlg(this);
    progress->SetText(res::loadString(res::kStrInitializingChanger));
    if (ModeSelect6(m_pSRB, kPageFormat, kNoSavePages, model::kInitializeRangeListLength, list.data()) == SS_COMP) {
        ui::beginWaitCursor();
        if (InitializeElementStatus(m_pSRB) == SS_COMP) {
            FillSlotList(m_config);
            ShowDriveContents(m_config);
        }
        ui::endWaitCursor();
    }
    progress->DestroyWindow();
    Invalidate();
}

void CChangerDlg::OnClearNvram() {
    if (!ui::askYesNo(res::loadString(res::kStrClearNvramWarning)))
        return;
    if (!ui::askYesNo(QStringLiteral("Are you ABSOLUTELY sure ?")))
        return;

    ui::beginWaitCursor();
    // One record group per 100 slots that holds at least one slot, in increasing order.
    const unsigned groups = model::recordGroupCount(m_config.assignment.storageCount);
    for (unsigned group = 0; group < groups && group < model::kRecordGroupLimit; ++group)
        if (model::clearRecordGroup(m_pSRB, static_cast<uint8_t>(group)) != SS_COMP)
            break;
    ui::endWaitCursor();

    FillSlotList(m_config);
    ShowDriveContents(m_config);
    Invalidate();
}
