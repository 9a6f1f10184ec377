// SPDX-License-Identifier: MIT
// The inventory view on a scripted changer: identity, element address assignment, slot
// list with its fullness records, drive occupancy and the three selection lists.
#include <optional>
#include <tuple>
#include <vector>

#include <QComboBox>
#include <QPushButton>

#include "byte_order.h"
#include "changer_dialog_fixture.h"
#include "resources/resource_ids.h"
#include "scsi_codes.h"

namespace karvel::test {
namespace {

using karvel::scsi::ILLEGAL_REQUEST;
using karvel::scsi::MODE_SENSE_6;
using karvel::scsi::NOT_READY;
using karvel::scsi::READ_BUFFER;
using karvel::scsi::READ_ELEMENT_STATUS;

using InventoryViewTest = ChangerDialogTest;

std::vector<uint8_t> bufferIds(const std::vector<SeenRequest>& reads) {
    std::vector<uint8_t> ids;
    for (const SeenRequest& r : reads)
        ids.push_back(r.cdb.at(2));
    return ids;
}

TEST_F(InventoryViewTest, IdentityLineIsInquiryBytes8To31UpToAZeroByte) {
    struct Case {
        std::vector<uint8_t> inquiry;
        std::optional<Reply> failure;
        QString expected;
    };
    std::vector<uint8_t> shortName = ScriptedChanger::standardInquiry("ACME    ", "JB");
    shortName[18] = 0;
    const std::vector<uint8_t> headerOnly(8, 0x08);
    const std::vector<Case> cases = {
        {ScriptedChanger::standardInquiry("ACME    ", "DISC CHANGER 9  "), std::nullopt,
         QStringLiteral("ACME    DISC CHANGER 9  ")},
        {shortName, std::nullopt, QStringLiteral("ACME    JB")},
        {headerOnly, std::nullopt, QString()},  // bytes the answer left are cleared, not stale
        {ScriptedChanger::standardInquiry("ACME    ", "X               "),
         Reply::checkCondition(NOT_READY, 0x04, 0x01), QString()},
    };
    for (const Case& c : cases) {
        m_changer.inquiry = c.inquiry;
        m_changer.failures.clear();
        if (c.failure)
            m_changer.failures[scsi::INQUIRY] = *c.failure;
        open();
        EXPECT_EQ(m_dlg->itemText(res::kIdInquiryText), c.expected);
    }
}

TEST_F(InventoryViewTest, RefreshAddressesTheBlockAndSendsInquiryTurModeSenseThenStatus) {
    m_app.m_defaultTarget = TargetAddress{0, 3, 1};
    m_aspi.addDevice(0, 3, 1, 8);
    m_changer.assignment.storageCount = 12;
    open();
    const std::vector<SeenRequest> seen = m_aspi.requests();
    std::vector<uint8_t> opcodes;
    for (const SeenRequest& r : seen) {
        opcodes.push_back(r.cdb.at(0));
        EXPECT_EQ(std::make_tuple(r.haId, r.target, r.lun, r.flags), std::make_tuple(0, 3, 1, 0));
    }
    EXPECT_EQ(opcodes, (std::vector<uint8_t>{scsi::INQUIRY, scsi::TEST_UNIT_READY, MODE_SENSE_6,
                                             READ_ELEMENT_STATUS}));
    EXPECT_EQ(seen[2].cdb, (std::vector<uint8_t>{0x1A, 0x20, 0x1D, 0x00, 31, 0x00}));
    EXPECT_EQ(m_dlg->m_pSRB->exec.SRB_Cmd, SC_EXEC_SCSI_CMD);
    EXPECT_EQ(m_dlg->m_pSRB->exec.SRB_PostProc, m_dlg->m_hAspiEvent.handle());
    EXPECT_NE(m_dlg->m_pSRB->exec.SRB_PostProc, nullptr);
}

TEST_F(InventoryViewTest, SlotListReadsFullnessOnlyFrom19Slots) {
    struct Case {
        uint16_t slotCount;
        std::vector<uint8_t> expectedBufferIds;
        QString firstRow, secondRow;
    };
    const std::vector<Case> cases = {
        {18, {}, QStringLiteral("1"), QStringLiteral("2")},
        {19, {0}, QStringLiteral("1 - Full"), QStringLiteral("2")},
        {250, {0, 1, 2}, QStringLiteral("1 - Full"), QStringLiteral("2")},
    };
    m_changer.fullnessMaps[0] = {0x80};
    for (const Case& c : cases) {
        m_changer.assignment.storageCount = c.slotCount;
        const size_t before = requestsWithOpcode(m_aspi, READ_BUFFER).size();
        open();
        std::vector<SeenRequest> reads = requestsWithOpcode(m_aspi, READ_BUFFER);
        reads.erase(reads.begin(), reads.begin() + static_cast<long>(before));
        EXPECT_EQ(bufferIds(reads), c.expectedBufferIds) << c.slotCount;
        for (const SeenRequest& r : reads)
            EXPECT_EQ(r.cdb, (std::vector<uint8_t>{0x3C, 0x02, r.cdb[2], 0, 0, 0, 0, 0, 13, 0}));
        const QStringList rows = slotRows();
        ASSERT_EQ(rows.size(), c.slotCount);
        EXPECT_EQ(rows[0], c.firstRow);
        EXPECT_EQ(rows[1], c.secondRow);
        EXPECT_EQ(rows.back(), QString::number(c.slotCount));
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);
    }
}

TEST_F(InventoryViewTest, EachGroupOf100SlotsComesFromItsOwnBuffer) {
    m_changer.assignment.storageCount = 250;
    m_changer.fullnessMaps[0] = {0x80, 0x01};               // offsets 0 and 15
    m_changer.fullnessMaps[1] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                               0x00, 0x00, 0x10};         // offset 99
    m_changer.fullnessMaps[2] = {0x40};                     // offset 1
    open();
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 250);
    const std::vector<int> full = {1, 16, 200, 202};
    for (int slot = 1; slot <= 250; ++slot) {
        const bool isFull = std::find(full.begin(), full.end(), slot) != full.end();
        EXPECT_EQ(rows[slot - 1], isFull ? QStringLiteral("%1 - Full").arg(slot) : QString::number(slot));
    }
}

TEST_F(InventoryViewTest, ReadBufferFailureStopsTheListAtItsGroupWithoutSelection) {
    m_changer.assignment.storageCount = 250;
    m_changer.drives = {{true, 5}, {false, 0}};
    m_changer.failures[READ_BUFFER] = Reply::checkCondition(NOT_READY, 0x04, 0x00);
    open();
    EXPECT_TRUE(slotRows().isEmpty());
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), -1);
    EXPECT_EQ(requestsWithOpcode(m_aspi, READ_BUFFER).size(), 1u);
    // The drive status is still read, and is what the panel then shows.
    EXPECT_EQ(m_aspi.requests().back().cdb.at(0), READ_ELEMENT_STATUS);
}

TEST_F(InventoryViewTest, ReadBufferFailureInALaterGroupKeepsTheEarlierRowsUnselected) {
    m_changer.assignment.storageCount = 250;
    m_changer.fullnessMaps[0] = {0x80};
    open();
    int readBuffers = 0;
    m_aspi.answerWith([&](const SeenRequest& r) {
        if (r.cdb.at(0) == READ_BUFFER && ++readBuffers == 2)
            return Reply::checkCondition(scsi::HARDWARE_ERROR, 0x44, 0x00);
        return m_changer.respond(r);
    });
    const size_t before = requestsWithOpcode(m_aspi, READ_BUFFER).size();
    m_dlg->FillSlotList(m_dlg->m_config);
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 100);
    EXPECT_EQ(rows[0], QStringLiteral("1 - Full"));
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), -1);
    std::vector<SeenRequest> reads = requestsWithOpcode(m_aspi, READ_BUFFER);
    reads.erase(reads.begin(), reads.begin() + static_cast<long>(before));
    EXPECT_EQ(bufferIds(reads), (std::vector<uint8_t>{0, 1}));
}

TEST_F(InventoryViewTest, ReadBufferRefusedAsUnsupportedLearnsFullnessFromStorageStatus) {
    m_changer.assignment = {0x0000, 1, 0x0100, 30, 0x0010, 1, 0x0001, 2};
    m_changer.fullStorage = {0x0100, 0x0102, 0x011D};
    m_changer.failures[READ_BUFFER] = Reply::checkCondition(ILLEGAL_REQUEST, 0x20, 0x00);
    open();
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 30);
    EXPECT_EQ(rows[0], QStringLiteral("1 - Full"));
    EXPECT_EQ(rows[1], QStringLiteral("2"));
    EXPECT_EQ(rows[2], QStringLiteral("3 - Full"));
    EXPECT_EQ(rows[29], QStringLiteral("30 - Full"));
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);
    const std::vector<SeenRequest> statuses = requestsWithOpcode(m_aspi, READ_ELEMENT_STATUS);
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[0].cdb.at(1) & 0x0F, 2);  // storage elements
    EXPECT_EQ(get_be16(&statuses[0].cdb.at(2)), 0x0100);
    EXPECT_EQ(get_be16(&statuses[0].cdb.at(4)), 30);
    EXPECT_EQ(requestsWithOpcode(m_aspi, READ_BUFFER).size(), 1u);
}

TEST_F(InventoryViewTest, DriveNumbersFollowTheFirstDataTransferAddress) {
    struct Case {
        uint16_t firstDrive;
        QStringList expectedDrives;
        QString markedRow;
    };
    const std::vector<Case> cases = {
        {0x4000, {QStringLiteral("Drive 1"), QStringLiteral("Drive 2")}, QStringLiteral("7 in Drive 1")},
        {0x4002, {QStringLiteral("Drive 3"), QStringLiteral("Drive 4")}, QStringLiteral("7 in Drive 3")},
        {0x0010, {QStringLiteral("Drive 1"), QStringLiteral("Drive 2")}, QStringLiteral("7 in Drive 1")},
    };
    m_changer.drives = {{true, 7}, {false, 0}};
    for (const Case& c : cases) {
        m_changer.assignment.firstDataTransfer = c.firstDrive;
        m_changer.assignment.storageCount = 10;
        open();
        EXPECT_EQ(rowsOf(m_dlg->m_driveCombo), c.expectedDrives);
        EXPECT_EQ(slotRows()[6], c.markedRow);
        const SeenRequest status = requestsWithOpcode(m_aspi, READ_ELEMENT_STATUS).back();
        EXPECT_EQ(status.cdb.at(1) & 0x0F, 4);
        EXPECT_EQ(get_be16(&status.cdb.at(2)), c.firstDrive);
    }
}

TEST_F(InventoryViewTest, SingleTransportAndPortListsAreDisabledTheDriveListIsNot) {
    struct Case {
        uint16_t transports, ports, drives;
        bool transportEnabled, portEnabled;
    };
    const std::vector<Case> cases = {
        {1, 1, 1, false, false},
        {2, 1, 1, true, false},
        {1, 3, 1, false, true},
        {0, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        m_changer.assignment.transportCount = c.transports;
        m_changer.assignment.importExportCount = c.ports;
        m_changer.assignment.dataTransferCount = c.drives;
        open();
        EXPECT_EQ(m_dlg->m_transportCombo.getCount(), c.transports);
        EXPECT_EQ(m_dlg->m_ieCombo.getCount(), c.ports);
        EXPECT_EQ(m_dlg->m_transportCombo.isWindowEnabled(), c.transportEnabled);
        EXPECT_EQ(m_dlg->m_ieCombo.isWindowEnabled(), c.portEnabled);
        EXPECT_TRUE(m_dlg->m_driveCombo.isWindowEnabled());
        EXPECT_EQ(m_dlg->m_transportCombo.getCurSel(), c.transports ? 0 : -1);
    }
    m_changer.assignment.transportCount = 1;
    m_changer.assignment.importExportCount = 1;
    open();
    EXPECT_EQ(rowsOf(m_dlg->m_transportCombo), QStringList{QStringLiteral("Transport 1")});
    EXPECT_EQ(rowsOf(m_dlg->m_ieCombo), QStringList{QStringLiteral("I/E 1")});
}

TEST_F(InventoryViewTest, ARefreshThatFindsTwoTransportsEnablesTheListAgain) {
    m_changer.assignment.transportCount = 1;
    m_changer.assignment.importExportCount = 1;
    open();
    ASSERT_FALSE(m_dlg->m_transportCombo.isWindowEnabled());
    m_changer.assignment.transportCount = 2;
    m_changer.assignment.importExportCount = 2;
    m_dlg->RefreshView(m_dlg->m_config);
    EXPECT_TRUE(m_dlg->m_transportCombo.isWindowEnabled());
    EXPECT_TRUE(m_dlg->m_ieCombo.isWindowEnabled());
    EXPECT_EQ(rowsOf(m_dlg->m_ieCombo), (QStringList{QStringLiteral("I/E 1"), QStringLiteral("I/E 2")}));
}

TEST_F(InventoryViewTest, ModeSensePageFollowsTheBlockDescriptorOrFallsBackToDefaults) {
    const ElementAddressAssignment page{0x0002, 1, 0x0101, 20, 0x0031, 2, 0x4001, 3};
    const ElementAddressAssignment defaults{0, 0, 0, 0, 0x3000, 0, 0x4000, 0};
    struct Case {
        uint8_t blockDescriptor;
        bool fails;
        ElementAddressAssignment expected;
    };
    const std::vector<Case> cases = {
        {0, false, page},
        {8, false, page},       // the values are read from offsets 14 to 29
        {9, false, page},       // the last that still fits the 31 bytes asked for
        {10, false, defaults},  // the page would lie beyond the bytes asked for
        {0, true, defaults},
    };
    const auto values = [](const ElementAddressAssignment& a) {
        return std::vector<uint16_t>{a.firstTransport, a.transportCount, a.firstStorage, a.storageCount,
                                     a.firstImportExport, a.importExportCount, a.firstDataTransfer,
                                     a.dataTransferCount};
    };
    for (const Case& c : cases) {
        m_changer.assignment = page;
        m_changer.blockDescriptorLength = c.blockDescriptor;
        m_changer.failures.clear();
        if (c.fails)
            m_changer.failures[MODE_SENSE_6] = Reply::checkCondition(ILLEGAL_REQUEST, 0x24, 0x00);
        open();
        EXPECT_EQ(values(m_dlg->m_config.assignment), values(c.expected)) << int{c.blockDescriptor};
    }
}

TEST_F(InventoryViewTest, ModeSenseValuesCountOnlyInsideTheBytesTheChangerReturned) {
    // Completed answers that end before the page's values: the buffer's zeroes beyond them
    // are not read as addresses, the defaults apply.
    const ElementAddressAssignment defaults{0, 0, 0, 0, 0x3000, 0, 0x4000, 0};
    struct Case {
        const char* what;
        std::vector<uint8_t> answer;
    };
    std::vector<uint8_t> cutInsideThePage = {13, 0, 0, 0, 0x1D, 0x12, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 50};
    cutInsideThePage.resize(24, 0);  // the page's bytes are there, but byte 0 counts only 13 after it
    const std::vector<Case> cases = {
        {"only the 4-byte header", {3, 0, 0, 0}},
        {"the mode data length ends inside the page", cutInsideThePage},
    };
    const auto values = [](const ElementAddressAssignment& a) {
        return std::vector<uint16_t>{a.firstTransport, a.transportCount, a.firstStorage, a.storageCount,
                                     a.firstImportExport, a.importExportCount, a.firstDataTransfer,
                                     a.dataTransferCount};
    };
    for (const Case& c : cases) {
        m_changer.failures.clear();
        Reply shortAnswer;
        shortAnswer.dataIn = c.answer;
        m_changer.failures[MODE_SENSE_6] = shortAnswer;
        open();
        EXPECT_EQ(values(m_dlg->m_config.assignment), values(defaults)) << c.what;
        EXPECT_TRUE(slotRows().isEmpty()) << c.what;
        const std::vector<SeenRequest> statuses = requestsWithOpcode(m_aspi, READ_ELEMENT_STATUS);
        ASSERT_FALSE(statuses.empty()) << c.what;
        EXPECT_EQ(statuses.back().cdb, (std::vector<uint8_t>{0xB8, 0x04, 0x40, 0x00, 0, 0, 0, 0, 0, 16, 0, 0}))
            << c.what;
    }
}

TEST_F(InventoryViewTest, FailedModeSenseLeavesAnEmptyViewAndStillAsksForDriveStatus) {
    m_changer.failures[MODE_SENSE_6] = Reply::checkCondition(ILLEGAL_REQUEST, 0x24, 0x00);
    open();
    EXPECT_TRUE(slotRows().isEmpty());
    EXPECT_EQ(m_dlg->m_driveCombo.getCount(), 0);
    EXPECT_EQ(m_dlg->m_transportCombo.getCount(), 0);
    EXPECT_EQ(m_dlg->m_ieCombo.getCount(), 0);
    EXPECT_FALSE(m_dlg->m_transportCombo.isWindowEnabled());
    EXPECT_FALSE(m_dlg->m_ieCombo.isWindowEnabled());
    EXPECT_EQ(m_dlg->m_driveBase, 0);
    const std::vector<SeenRequest> statuses = requestsWithOpcode(m_aspi, READ_ELEMENT_STATUS);
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(statuses[0].cdb, (std::vector<uint8_t>{0xB8, 0x04, 0x40, 0x00, 0, 0, 0, 0, 0, 16, 0, 0}));
}

TEST_F(InventoryViewTest, FullDrivesReplaceTheRowOfTheirSourceSlot) {
    struct Case {
        const char* what;
        uint16_t firstStorage, slotCount;
        std::vector<ScriptedDrive> drives;
        std::vector<std::pair<int, QString>> changedRows;  // row -> text; all others untouched
    };
    std::vector<ScriptedDrive> twelve(12);
    twelve[11] = {true, 3};
    const std::vector<Case> cases = {
        {"source 7 in drive row 0", 1, 10, {{true, 7}, {false, 0}}, {{6, QStringLiteral("7 in Drive 1")}}},
        {"source is the last row", 1, 18, {{false, 0}, {true, 18}}, {{17, QStringLiteral("18 in Drive 2")}}},
        {"source 0: unknown, left out", 1, 10, {{true, 0}, {false, 0}}, {}},
        {"source past the last row", 1, 10, {{true, 11}, {false, 0}}, {}},
        {"empty drive with a stale source", 1, 10, {{false, 4}, {false, 0}}, {}},
        {"storage starting at 100h", 0x100, 10, {{true, 0x104}, {false, 0}}, {{4, QStringLiteral("5 in Drive 1")}}},
        {"source below the first storage", 0x100, 10, {{true, 0x0FF}, {false, 0}}, {}},
        {"more than nine drives", 1, 10, twelve, {{2, QStringLiteral("3 in Drive 12")}}},
        // Replacing row 0 takes the selection with it: it is set again, or Mount stays greyed.
        {"slot 1 in drive row 1", 1, 10, {{false, 0}, {true, 1}}, {{0, QStringLiteral("1 in Drive 2")}}},
    };
    for (const Case& c : cases) {
        m_changer.assignment.firstStorage = c.firstStorage;
        m_changer.assignment.storageCount = c.slotCount;
        m_changer.assignment.dataTransferCount = static_cast<uint16_t>(c.drives.size());
        m_changer.drives = c.drives;
        open();
        QStringList expected;
        for (int i = 1; i <= c.slotCount; ++i)
            expected << QString::number(i);
        for (const auto& [row, text] : c.changedRows)
            expected[row] = text;
        EXPECT_EQ(slotRows(), expected) << c.what;
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0) << c.what;
        EXPECT_TRUE(m_dlg->itemAs<QPushButton>(res::kIdMount)->isEnabled()) << c.what;
        const SeenRequest status = requestsWithOpcode(m_aspi, READ_ELEMENT_STATUS).back();
        EXPECT_EQ(get_be24(&status.cdb.at(7)), (c.drives.size() + 1) * 16) << c.what;
    }
}

TEST_F(InventoryViewTest, FailedDriveStatusLeavesTheSlotsUnmarked) {
    m_changer.assignment.storageCount = 10;
    m_changer.drives = {{true, 2}, {false, 0}};
    m_changer.failures[READ_ELEMENT_STATUS] = Reply::checkCondition(NOT_READY, 0x04, 0x01);
    open();
    EXPECT_EQ(slotRows().size(), 10);
    EXPECT_EQ(slotRows()[1], QStringLiteral("2"));
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);  // as the slot list left it
}

}  // namespace
}  // namespace karvel::test
