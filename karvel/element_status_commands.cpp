// SPDX-License-Identifier: MIT
// Initialize (INITIALIZE ELEMENT STATUS, over an address range on changers of more than 18
// slots) and Clear NVRAM (zeroes the changer's records of full slots).
#include <array>

#include "address_range_dlg.h"
#include "byte_order.h"
#include "changer_dlg.h"
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
constexpr uint8_t kInitRangePage = 0x20;
constexpr uint8_t kInitRangePageLength = 4;
constexpr uint8_t kRangeListLength = 10;
constexpr uint8_t kPageFormat = 1;
constexpr uint8_t kNoSavePages = 0;

constexpr int kSlotsPerGroup = 100;
constexpr int kLastBufferId = 255;  // buffer ids are one byte
constexpr uint8_t kWriteBufferDataMode = 2;
constexpr uint32_t kFullnessMapLength = 13;

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

    std::array<uint8_t, kRangeListLength> list{};
    list[4] = kInitRangePage;
    list[5] = kInitRangePageLength;

    CAddressRangeDlg prompt(this);
    prompt.m_firstLabel = QStringLiteral("Start Address");
    prompt.m_secondLabel = QStringLiteral("Stop Address");
    prompt.m_firstValue = m_initializeRange->first;
    prompt.m_secondValue = m_initializeRange->second;
    if (prompt.DoModal() != ui::kIdOk)
        return;
    put_be16(&list[6], static_cast<uint16_t>(prompt.m_firstValue));
    put_be16(&list[8], static_cast<uint16_t>(prompt.m_secondValue));
    m_initializeRange = {prompt.m_firstValue, prompt.m_secondValue};

    auto* progress = new CProgressDlg(this);
    progress->SetText(res::loadString(res::kStrInitializingChanger));
    if (ModeSelect6(m_pSRB, kPageFormat, kNoSavePages, kRangeListLength, list.data()) == SS_COMP) {
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
    std::array<uint8_t, kFullnessMapLength> cleared{};
    if (!ui::askYesNo(res::loadString(res::kStrClearNvramWarning)))
        return;
    if (!ui::askYesNo(QStringLiteral("Are you ABSOLUTELY sure ?")))
        return;

    ui::beginWaitCursor();
    // One record group per 100 slots that holds at least one slot, in increasing order.
    const int groups = (int{m_config.assignment.storageCount} + kSlotsPerGroup - 1) / kSlotsPerGroup;
    for (int group = 0; group < groups && group <= kLastBufferId; ++group)
        if (WriteBuffer(m_pSRB, kWriteBufferDataMode, static_cast<uint8_t>(group), 0, kFullnessMapLength,
                        cleared.data()) != SS_COMP)
            break;
    ui::endWaitCursor();

    FillSlotList(m_config);
    ShowDriveContents(m_config);
    Invalidate();
}
