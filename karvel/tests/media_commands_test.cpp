// SPDX-License-Identifier: MIT
// Mount, UnMount, Import, Export and Reset on a scripted changer: the commands and addresses
// sent, the one row rewritten, the selection, failures, empty lists and the wait cursor.
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "changer_dialog_fixture.h"
#include "command_test_support.h"
#include "resources/resource_ids.h"
#include "scsi_codes.h"

namespace karvel::test {
namespace {

using namespace karvel::scsi;
using Handler = void (CChangerDlg::*)();
using Move = std::tuple<uint16_t, uint16_t, uint16_t>;  // transport, source, destination

class MediaCommandsTest : public ChangerDialogTest {
protected:
    // Selects slot row s and drive row d (and keeps port and transport at row 0).
    void select(int s, int d) {
        m_dlg->m_slotList.setCurSel(s);
        m_dlg->m_driveCombo.setCurSel(d);
    }

    // Runs handler; returns the requests it sent.
    std::vector<SeenRequest> run(Handler handler) {
        const size_t before = m_aspi.requests().size();
        ((*m_dlg).*handler)();
        return requestsSince(m_aspi, before);
    }
};

TEST_F(MediaCommandsTest, EachMoveSendsItsAddressesAndRewritesOneRow) {
    struct Case {
        std::string name;
        Handler handler;
        uint16_t firstDrive;
        std::vector<ScriptedDrive> drives;
        int slotRow, driveRow;
        std::vector<uint8_t> opcodes;
        Move move;
        int changedRow;
        QString text;
        int selection;
        std::vector<QString> messages;
    };
    const std::vector<uint8_t> turMove = {TEST_UNIT_READY, MOVE_MEDIUM};
    const std::vector<Case> cases = {
        {"mount", &CChangerDlg::OnMount, 0x4000, {}, 4, 1, turMove, {0x0000, 0x0005, 0x4001}, 4,
         QStringLiteral("5 in Drive 2"), 4, {}},
        {"mount, drive base 2", &CChangerDlg::OnMount, 0x4002, {}, 4, 1, turMove, {0x0000, 0x0005, 0x4003}, 4,
         QStringLiteral("5 in Drive 4"), 4, {}},
        {"unmount keeps another row selected", &CChangerDlg::OnUnMount, 0x4000, {{}, {true, 5}}, 7, 1,
         {TEST_UNIT_READY, READ_ELEMENT_STATUS, MOVE_MEDIUM}, {0x0000, 0x4001, 0x0005}, 4,
         QStringLiteral("5 - Full"), 7, {}},
        {"unmount keeps its own row selected", &CChangerDlg::OnUnMount, 0x4000, {{}, {true, 5}}, 4, 1,
         {TEST_UNIT_READY, READ_ELEMENT_STATUS, MOVE_MEDIUM}, {0x0000, 0x4001, 0x0005}, 4,
         QStringLiteral("5 - Full"), 4, {}},
        {"import", &CChangerDlg::OnImport, 0x4000, {}, 2, 0,
         {TEST_UNIT_READY, POSITION_TO_ELEMENT, TEST_UNIT_READY, TEST_UNIT_READY, MOVE_MEDIUM},
         {0x0000, 0x0030, 0x0003}, 2, QStringLiteral("3 - Full"), 2,
         {QStringLiteral("Load the disc into the changer")}},
        {"export", &CChangerDlg::OnExport, 0x4000, {}, 2, 0, turMove, {0x0000, 0x0003, 0x0030}, 2,
         QStringLiteral("3"), 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.assignment.firstDataTransfer = c.firstDrive;
        m_changer.drives = c.drives;
        open();
        select(c.slotRow, c.driveRow);
        QStringList expectedRows = slotRows();
        expectedRows[c.changedRow] = c.text;
        const size_t messagesBefore = m_modal.messages().size();

        const std::vector<SeenRequest> sent = run(c.handler);
        EXPECT_EQ(opcodesOf(sent), c.opcodes);
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back().cdb.size(), 12u);
        EXPECT_EQ(moveAddresses(sent.back()), c.move);
        EXPECT_EQ(slotRows(), expectedRows);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), c.selection);

        std::vector<QString> shown;
        for (size_t i = messagesBefore; i < m_modal.messages().size(); ++i) {
            shown.push_back(m_modal.messages()[i].text);
            EXPECT_EQ(m_modal.messages()[i].icon, ui::MessageIcon::exclamation);
            EXPECT_EQ(m_modal.messages()[i].buttons, ui::MessageButtons::ok);
        }
        EXPECT_EQ(shown, c.messages);
    }
}

TEST_F(MediaCommandsTest, UnMountAsksForOneDriveAndFindsTheRowFromTheFirstStorageAddress) {
    m_changer.assignment.firstStorage = 0x0100;
    m_changer.drives = {{true, 0x0104}, {false, 0}};
    open();
    select(0, 0);
    const std::vector<SeenRequest> sent = run(&CChangerDlg::OnUnMount);
    ASSERT_EQ(opcodesOf(sent), (std::vector<uint8_t>{TEST_UNIT_READY, READ_ELEMENT_STATUS, MOVE_MEDIUM}));
    EXPECT_EQ(sent[1].cdb, (std::vector<uint8_t>{0xB8, 0x04, 0x40, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 32, 0x00, 0x00}));
    EXPECT_EQ(moveAddresses(sent[2]), Move(0x0000, 0x4000, 0x0104));
    EXPECT_EQ(m_dlg->m_slotList.getText(4), QStringLiteral("5 - Full"));
    EXPECT_EQ(m_dlg->m_slotList.getText(3), QStringLiteral("4"));
    EXPECT_EQ(slotRows().size(), 50);
}

TEST_F(MediaCommandsTest, AFailureLeavesTheListAndSelectionAndThePanelShowsIt) {
    struct Case {
        std::string name;
        Handler handler;
        uint8_t failing;
        std::vector<uint8_t> opcodes;
        size_t messages;
    };
    const std::vector<Case> cases = {
        {"mount", &CChangerDlg::OnMount, MOVE_MEDIUM, {TEST_UNIT_READY, MOVE_MEDIUM}, 0},
        {"unmount, status", &CChangerDlg::OnUnMount, READ_ELEMENT_STATUS, {TEST_UNIT_READY, READ_ELEMENT_STATUS}, 0},
        {"unmount, move", &CChangerDlg::OnUnMount, MOVE_MEDIUM,
         {TEST_UNIT_READY, READ_ELEMENT_STATUS, MOVE_MEDIUM}, 0},
        {"import, move", &CChangerDlg::OnImport, MOVE_MEDIUM,
         {TEST_UNIT_READY, POSITION_TO_ELEMENT, TEST_UNIT_READY, TEST_UNIT_READY, MOVE_MEDIUM}, 1},
        {"export", &CChangerDlg::OnExport, MOVE_MEDIUM, {TEST_UNIT_READY, MOVE_MEDIUM}, 0},
        {"reset", &CChangerDlg::OnReset, REZERO_UNIT, {TEST_UNIT_READY, REZERO_UNIT}, 0},
    };
    m_changer.fullnessMaps[0] = {0xF0};
    m_changer.drives = {{true, 9}, {true, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.failures.clear();
        open();
        select(3, 1);
        const QStringList rows = slotRows();
        m_changer.failures[c.failing] = Reply::checkCondition(NOT_READY, 0x04, 0x03);
        const size_t messagesBefore = m_modal.messages().size();

        EXPECT_EQ(opcodesOf(run(c.handler)), c.opcodes);
        EXPECT_EQ(slotRows(), rows);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 3);
        EXPECT_EQ(m_modal.messages().size() - messagesBefore, c.messages);
        m_dlg->OnPaint();
        EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(SS_ERR));
        EXPECT_EQ(m_dlg->itemText(res::kIdAscAscq), ascText(0x04, 0x03));
    }
}

// Two transports at 0050h-0051h and two ports at 0060h-0061h: row 1 of each is its first
// address plus one, and POSITION TO ELEMENT carries both addresses.
TEST_F(MediaCommandsTest, ImportAndExportUseTheSelectedTransportAndPort) {
    struct Case {
        std::string name;
        Handler handler;
        std::vector<std::vector<uint8_t>> cdbs;
        QString text;
    };
    const std::vector<Case> cases = {
        {"import", &CChangerDlg::OnImport,
         {{0x00, 0, 0, 0, 0, 0},
          {0x2B, 0x00, 0x00, 0x51, 0x00, 0x61, 0x00, 0x00, 0x00, 0x00},
          {0x00, 0, 0, 0, 0, 0},
          {0x00, 0, 0, 0, 0, 0},
          {0xA5, 0x00, 0x00, 0x51, 0x00, 0x61, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00}},
         QStringLiteral("3 - Full")},
        {"export", &CChangerDlg::OnExport,
         {{0x00, 0, 0, 0, 0, 0}, {0xA5, 0x00, 0x00, 0x51, 0x00, 0x03, 0x00, 0x61, 0x00, 0x00, 0x00, 0x00}},
         QStringLiteral("3")},
    };
    m_changer.assignment = {0x0050, 2, 0x0001, 50, 0x0060, 2, 0x4000, 2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        m_dlg->m_slotList.setCurSel(2);
        m_dlg->m_transportCombo.setCurSel(1);
        m_dlg->m_ieCombo.setCurSel(1);
        std::vector<std::vector<uint8_t>> cdbs;
        for (const SeenRequest& r : run(c.handler))
            cdbs.push_back(r.cdb);
        EXPECT_EQ(cdbs, c.cdbs);
        EXPECT_EQ(m_dlg->m_slotList.getText(2), c.text);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 2);
    }
}

TEST_F(MediaCommandsTest, ImportWhosePositioningFailsAsksNothingAndStillMoves) {
    open();
    select(2, 0);
    m_changer.failures[POSITION_TO_ELEMENT] = Reply::checkCondition(ILLEGAL_REQUEST, 0x21, 0x01);
    const std::vector<SeenRequest> sent = run(&CChangerDlg::OnImport);
    EXPECT_EQ(opcodesOf(sent), (std::vector<uint8_t>{TEST_UNIT_READY, POSITION_TO_ELEMENT, MOVE_MEDIUM}));
    EXPECT_EQ(moveAddresses(sent.back()), Move(0x0000, 0x0030, 0x0003));
    EXPECT_TRUE(m_modal.messages().empty());
    EXPECT_EQ(m_dlg->m_slotList.getText(2), QStringLiteral("3 - Full"));
}

TEST_F(MediaCommandsTest, ResetRebuildsTheListFromTheChangerAndSelectsRowZero) {
    m_changer.assignment.storageCount = 30;
    open();
    select(12, 0);
    m_changer.fullnessMaps[0] = {0x40};
    m_changer.drives = {{true, 4}, {false, 0}};
    const std::vector<SeenRequest> sent = run(&CChangerDlg::OnReset);
    EXPECT_EQ(opcodesOf(sent), (std::vector<uint8_t>{TEST_UNIT_READY, REZERO_UNIT, READ_BUFFER, READ_ELEMENT_STATUS}));
    EXPECT_EQ(sent[1].cdb, (std::vector<uint8_t>{0x01, 0, 0, 0, 0, 0}));
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 30);
    EXPECT_EQ(rows[1], QStringLiteral("2 - Full"));
    EXPECT_EQ(rows[3], QStringLiteral("4 in Drive 1"));
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);
    EXPECT_EQ(m_dlg->m_config.assignment.storageCount, 30);  // the page is not read again
}

TEST_F(MediaCommandsTest, EnterAndADoubleClickMountTheRowTheyPoint) {
    struct Case {
        std::string name;
        int row;
        bool doubleClick;
        uint16_t source;
    };
    const std::vector<Case> cases = {
        {"Enter in a fresh dialog", 0, false, 0x0001},
        {"double-click on row 4", 4, true, 0x0005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
        QListWidget* list = m_dlg->m_slotList.control();
        const size_t before = m_aspi.requests().size();
        if (c.doubleClick) {
            const QPoint at = list->visualItemRect(list->item(c.row)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : m_dlg.get(), Qt::Key_Return);
        }
        const std::vector<SeenRequest> moves = requestsWithOpcode(m_aspi, MOVE_MEDIUM);
        ASSERT_EQ(requestsSince(m_aspi, before).size(), 2u);
        EXPECT_EQ(moveAddresses(moves.back()), Move(0x0000, c.source, 0x4000));
        EXPECT_EQ(m_dlg->m_slotList.getText(c.row), QStringLiteral("%1 in Drive 1").arg(c.row + 1));
    }
}

TEST_F(MediaCommandsTest, ButtonsOfCommandsWithoutASelectionAreDisabledAndSendNothing) {
    struct Case {
        std::string name;
        ElementAddressAssignment assignment;
        bool mount, unmount, import, exportButton;
    };
    const std::vector<Case> cases = {
        {"everything there", {0, 1, 1, 50, 0x30, 1, 0x4000, 2}, true, true, true, true},
        {"no drive", {0, 1, 1, 50, 0x30, 1, 0x4000, 0}, false, false, true, true},
        {"no port", {0, 1, 1, 50, 0x30, 0, 0x4000, 2}, true, true, false, false},
        {"no slot", {0, 1, 1, 0, 0x30, 1, 0x4000, 2}, false, true, false, false},
        {"no transport", {0, 0, 1, 50, 0x30, 1, 0x4000, 2}, false, false, false, false},
    };
    const std::vector<std::pair<int, Handler>> commands = {{res::kIdMount, &CChangerDlg::OnMount},
                                                           {res::kIdUnMount, &CChangerDlg::OnUnMount},
                                                           {res::kIdImport, &CChangerDlg::OnImport},
                                                           {res::kIdExport, &CChangerDlg::OnExport}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.assignment = c.assignment;
        open();
        const bool expected[] = {c.mount, c.unmount, c.import, c.exportButton};
        for (size_t k = 0; k < commands.size(); ++k) {
            auto* button = m_dlg->itemAs<QPushButton>(commands[k].first);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->isEnabled(), expected[k]) << commands[k].first;
            EXPECT_EQ(button->toolTip().isEmpty(), expected[k]) << commands[k].first;
            if (!expected[k]) {
                EXPECT_TRUE(run(commands[k].second).empty()) << commands[k].first;
                EXPECT_TRUE(m_modal.messages().empty());
            }
        }
    }
}

TEST_F(MediaCommandsTest, ButtonsFollowTheListsThroughRefreshesAndSelections) {
    m_changer.assignment.dataTransferCount = 0;
    open();
    auto* mount = m_dlg->itemAs<QPushButton>(res::kIdMount);
    EXPECT_FALSE(mount->isEnabled());
    EXPECT_EQ(mount->toolTip(), QStringLiteral("Needs a selected drive"));

    m_changer.assignment.dataTransferCount = 2;
    m_dlg->RefreshView(m_dlg->m_config);
    EXPECT_TRUE(mount->isEnabled());

    // A fullness read that fails for the second group leaves 100 rows without a selection;
    // choosing a row is enough.
    m_changer.assignment.storageCount = 150;
    m_dlg->RefreshView(m_dlg->m_config);
    m_aspi.answerWith([this](const SeenRequest& r) {
        if (r.cdb.at(0) == READ_BUFFER && r.cdb.at(2) == 1)
            return Reply::checkCondition(HARDWARE_ERROR, 0x44, 0x00);
        return m_changer.respond(r);
    });
    m_dlg->FillSlotList(m_dlg->m_config);
    ASSERT_EQ(m_dlg->m_slotList.getCount(), 100);
    EXPECT_FALSE(mount->isEnabled());
    EXPECT_EQ(mount->toolTip(), QStringLiteral("Needs a selected slot"));
    m_dlg->m_slotList.setCurSel(7);
    EXPECT_TRUE(mount->isEnabled());
    EXPECT_TRUE(mount->toolTip().isEmpty());
}

TEST_F(MediaCommandsTest, TheWaitCursorIsUpWhileTheChangerMovesAndOnlyThen) {
    struct Case {
        std::string name;
        Handler handler;
        std::vector<std::pair<uint8_t, bool>> expected;  // (operation code, wait cursor up)
    };
    const std::vector<Case> cases = {
        {"mount", &CChangerDlg::OnMount, {{TEST_UNIT_READY, false}, {MOVE_MEDIUM, true}}},
        {"unmount", &CChangerDlg::OnUnMount,
         {{TEST_UNIT_READY, false}, {READ_ELEMENT_STATUS, true}, {MOVE_MEDIUM, true}}},
        {"import", &CChangerDlg::OnImport,
         {{TEST_UNIT_READY, false},
          {POSITION_TO_ELEMENT, false},
          {TEST_UNIT_READY, false},
          {TEST_UNIT_READY, false},
          {MOVE_MEDIUM, true}}},
        {"export", &CChangerDlg::OnExport, {{TEST_UNIT_READY, false}, {MOVE_MEDIUM, true}}},
        {"reset", &CChangerDlg::OnReset,
         {{TEST_UNIT_READY, false}, {REZERO_UNIT, true}, {READ_BUFFER, true}, {READ_ELEMENT_STATUS, true}}},
    };
    m_changer.drives = {{true, 2}, {false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        std::vector<std::pair<uint8_t, bool>> seen;
        m_aspi.answerWith([&](const SeenRequest& r) {
            const QCursor* cursor = QApplication::overrideCursor();
            seen.emplace_back(r.cdb.at(0), cursor && cursor->shape() == Qt::WaitCursor);
            return m_changer.respond(r);
        });
        ((*m_dlg).*c.handler)();
        EXPECT_EQ(seen, c.expected);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

}  // namespace
}  // namespace karvel::test
