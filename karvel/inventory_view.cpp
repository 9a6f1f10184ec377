// SPDX-License-Identifier: MIT
// The inventory view: device identity, element address assignment, slot list, drive
// occupancy and the three selection lists.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "changer_dlg.h"
#include "changer_model/element_address_page.h"
#include "changer_model/element_status.h"
#include "changer_model/element_type.h"
#include "changer_model/fullness_records.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "scsi_codes.h"

using namespace karvel;

namespace {

constexpr uint8_t kModeSenseLength = 31;
constexpr int kSlotsWithoutFullnessMap = 18;
constexpr uint32_t kStatusHeaderLength = 16;  // element status header and page header
constexpr uint32_t kDescriptorLength = 16;
constexpr uint32_t kMaxAllocationLength = 0xFFFFFF;  // the CDB's 24-bit field
constexpr uint32_t kLongestStorageDescriptor = 64;

// Returns bytes [from, from + count) of data as text, ending early at a zero byte.
QString textOf(const uint8_t* data, size_t from, size_t count) {
    const uint8_t* begin = data + from;
    const uint8_t* end = std::find(begin, begin + count, uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(begin), end - begin);
}

// Returns whether the last request was refused as not supported (ILLEGAL REQUEST).
bool refusedAsUnsupported(const SRBunion& srb) {
    return srb.exec.SRB_Status == SS_ERR && srb.exec.SRB_TargStat == scsi::CHECK_CONDITION &&
           (srb.exec.SenseArea[2] & 0x0F) == scsi::ILLEGAL_REQUEST;
}

// Returns which storage rows are full, from READ ELEMENT STATUS of the storage elements
// (for changers that keep no fullness records), or nothing when the command fails.
std::optional<std::vector<bool>> readStorageFullness(SRBunion* srb, const ElementAddressAssignment& a) {
    const uint32_t length = std::min<uint32_t>(
        kStatusHeaderLength + uint32_t{a.storageCount} * kLongestStorageDescriptor, kMaxAllocationLength);
    std::vector<uint8_t> data(length, 0);
    if (ReadElementStatus(srb, model::elementTypeCode(model::ElementType::storage), a.firstStorage, a.storageCount,
                          length, data.data()) != SS_COMP)
        return std::nullopt;
    std::vector<model::ElementDescriptor> storage;
    model::readElementStatus(data, length, model::ElementType::storage, a.firstStorage,
                             uint32_t{a.firstStorage} + a.storageCount, storage);
    std::vector<bool> full(a.storageCount, false);
    for (const model::ElementDescriptor& slot : storage)
        full[slot.address - a.firstStorage] = slot.full;
    return full;
}

}  // namespace

void CChangerDlg::RefreshView(ChangerConfig& config) {
    SRB_ExecSCSICmd& srb = m_pSRB->exec;
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_Flags = 0;
    srb.SRB_Hdr_Rsvd = 0;
    srb.SRB_Status = SS_COMP;
    srb.SRB_HaId = config.target.hostAdapter;
    srb.SRB_Target = config.target.targetId;
    srb.SRB_Lun = config.target.lun;
    srb.SRB_PostProc = m_hAspiEvent.handle();

    std::array<uint8_t, 52> inquiry{};
    QString identity;
    if (Inquiry(m_pSRB, inquiry.data()) == SS_COMP)
        identity = textOf(inquiry.data(), 8, 24);
    setItemText(res::kIdInquiryText, identity);

    TestUnitReady(m_pSRB);

    std::array<uint8_t, kModeSenseLength> modeData{};
    config.assignment = defaultElementAddressAssignment();
    if (ModeSense6(m_pSRB, 0, 0, model::kElementAddressPageCode, kModeSenseLength, modeData.data()) == SS_COMP) {
        // The page code is not examined: the values count wherever they lie inside the answer.
        const model::ElementAddressPage page = model::readElementAddressPage(modeData, modeData.size());
        if (page.valuesRead())
            config.assignment = page.assignment;
    }
    const ElementAddressAssignment& a = config.assignment;

    m_driveBase = a.firstDataTransfer >= 0x4000 ? static_cast<uint16_t>(a.firstDataTransfer - 0x4000) : 0;

    FillSlotList(config);
    ShowDriveContents(config);

    m_driveCombo.resetContent();
    for (int i = 1; i <= a.dataTransferCount; ++i)
        m_driveCombo.addString(QStringLiteral("Drive %1").arg(m_driveBase + i));
    m_driveCombo.setCurSel(0);

    m_transportCombo.resetContent();
    for (int i = 1; i <= a.transportCount; ++i)
        m_transportCombo.addString(QStringLiteral("Transport %1").arg(i));
    m_transportCombo.setCurSel(0);
    m_transportCombo.enableWindow(a.transportCount >= 2);

    m_ieCombo.resetContent();
    for (int i = 1; i <= a.importExportCount; ++i)
        m_ieCombo.addString(QStringLiteral("I/E %1").arg(i));
    m_ieCombo.setCurSel(0);
    m_ieCombo.enableWindow(a.importExportCount >= 2);
}

void CChangerDlg::FillSlotList(ChangerConfig& config) {
    const QString fullText = res::loadString(res::kStrSlotFull);
    const QString emptyText = res::loadString(res::kStrSlotEmpty);
    m_slotList.resetContent();

    const int slotCount = config.assignment.storageCount;
    std::array<uint8_t, model::kRecordGroupBytes> map{};
    std::optional<std::vector<bool>> fromElements;  // when the changer keeps no records
    for (int i = 0; i < slotCount; ++i) {
        bool full = false;
        const unsigned group = model::recordGroupOf(static_cast<unsigned>(i));
        if (slotCount > kSlotsWithoutFullnessMap && group < model::kRecordGroupLimit) {
            const unsigned r = model::recordOffsetOf(static_cast<unsigned>(i));
            if (r == 0 && !fromElements) {
                map.fill(0);
                if (model::readRecordGroup(m_pSRB, static_cast<uint8_t>(group), map) != SS_COMP) {
                    if (!refusedAsUnsupported(*m_pSRB))
                        return;
                    fromElements = readStorageFullness(m_pSRB, config.assignment);
                    if (!fromElements)
                        return;
                }
            }
            full = fromElements ? (*fromElements)[i] : model::recordMarksFull(map, r);
        }
        m_slotList.addString(res::formatString(full ? fullText : emptyText, {i + 1}));
    }
    m_slotList.setCurSel(0);
}

void CChangerDlg::ShowDriveContents(ChangerConfig& config) {
    const QString inDriveText = res::loadString(res::kStrSlotInDrive);
    const ElementAddressAssignment& a = config.assignment;
    const uint32_t length = (uint32_t{a.dataTransferCount} + 1) * kDescriptorLength;
    std::vector<uint8_t> statusData(length, 0);
    if (ReadElementStatus(m_pSRB, model::elementTypeCode(model::ElementType::dataTransfer), a.firstDataTransfer,
                          a.dataTransferCount, length, statusData.data()) != SS_COMP) {
        Invalidate();
        return;
    }
    for (int i = 0; i < a.dataTransferCount; ++i) {
        const std::optional<model::ElementDescriptor> drive =
            model::fixedStrideDescriptor(statusData, length, static_cast<size_t>(i), model::ElementType::dataTransfer);
        if (!drive || !drive->full)
            continue;
        // The source address names a row as every command computes one: minus the first
        // storage address. A source that names no row (0 when the changer does not know) is
        // left out.
        const int row = int{drive->source} - int{a.firstStorage};
        if (row < 0 || row >= m_slotList.getCount())
            continue;
        m_slotList.insertString(row + 1, res::formatString(inDriveText, {row + 1, m_driveBase + i + 1}));
        m_slotList.deleteString(row);
    }
    m_slotList.setCurSel(0);
}
