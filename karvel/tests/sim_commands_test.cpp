// SPDX-License-Identifier: MIT
// The operator's commands on the simulated jukebox through libwnaspi32.so: what each does to
// the jukebox, read back from its state file as any other program sees it, and what the
// operator then sees.
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_typing.h"
#include "scratch_profile.h"
#include "status_panel_texts.h"
#include "resources/resource_ids.h"
#include "sim_jukebox.h"

namespace karvel::test {
namespace {

using aspi::sim::JukeboxState;
using aspi::sim::Seed;
using Handler = void (CChangerDlg::*)();

class SimCommandsTest : public SimDialogTest {};

TEST_F(SimCommandsTest, EnterInAFreshKarvelMountsSlot1IntoDrive1) {
    open({});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_dlg.get(), Qt::Key_Return);
    const JukeboxState s = state();
    const aspi::sim::Disc* disc = s.discAt(s.drives.first);
    ASSERT_NE(disc, nullptr);
    EXPECT_EQ(disc->id, 1u);
    EXPECT_EQ(disc->source, s.slotAddress(1));
    EXPECT_EQ(m_dlg->m_slotList.getText(0), QStringLiteral("1 in Drive 1"));
}

TEST_F(SimCommandsTest, EachCommandMovesTheDiscAndRewritesItsRow) {
    struct Case {
        std::string name;
        Seed seed;
        std::function<void()> before;  // on the jukebox, before the dialog opens
        bool beforeIsNews;              // ... or after it, as news for the command to find
        int slotRow, driveRow;
        Handler handler;
        std::function<void(const JukeboxState&)> check;
        int row;
        QString text;
        int selection;
    };
    const Seed small{.slots = 20, .drives = 2, .full = std::vector<int>{1, 2, 3}};
    const Seed high{.slots = 20, .drives = 2, .firstStorage = 0x0100, .full = std::vector<int>{1, 2, 3}};
    const auto none = [] {};
    const std::vector<Case> cases = {
        {"mount", small, none, false, 1, 1, &CChangerDlg::OnMount,
         [](const JukeboxState& s) {
             EXPECT_EQ(discAt(s, s.drives.first + 1), 2u);
             EXPECT_EQ(s.discAt(s.drives.first + 1)->source, s.slotAddress(2));
             EXPECT_EQ(discAt(s, s.slotAddress(2)), std::nullopt);
         },
         1, QStringLiteral("2 in Drive 2"), 1},
        {"unmount", small, [] { putDiscInDrive(3, 0); }, false, 7, 0, &CChangerDlg::OnUnMount,
         [](const JukeboxState& s) {
             EXPECT_EQ(discAt(s, s.slotAddress(3)), 3u);
             EXPECT_EQ(discAt(s, s.drives.first), std::nullopt);
             EXPECT_TRUE(s.recordedFull(s.slotAddress(3)));
         },
         2, QStringLiteral("3 - Full"), 7},
        {"unmount, storage from 100h", high, [] { putDiscInDrive(3, 1); }, false, 0, 1, &CChangerDlg::OnUnMount,
         [](const JukeboxState& s) { EXPECT_EQ(discAt(s, 0x0102), 3u); }, 2, QStringLiteral("3 - Full"), 0},
        {"mount, storage from 100h", high, none, false, 2, 0, &CChangerDlg::OnMount,
         [](const JukeboxState& s) { EXPECT_EQ(s.discAt(s.drives.first)->source, 0x0102); }, 2,
         QStringLiteral("3 in Drive 1"), 2},
        {"import", small, none, false, 5, 0, &CChangerDlg::OnImport,
         [](const JukeboxState& s) {
             ASSERT_NE(s.discAt(s.slotAddress(6)), nullptr);
             EXPECT_GT(s.discAt(s.slotAddress(6))->id, 3u);  // a new disc, loaded by the operator
             EXPECT_EQ(discAt(s, s.ports.first), std::nullopt);
         },
         5, QStringLiteral("6 - Full"), 5},
        {"export", small, none, false, 0, 0, &CChangerDlg::OnExport,
         [](const JukeboxState& s) {
             EXPECT_EQ(discAt(s, s.ports.first), 1u);
             EXPECT_FALSE(s.recordedFull(s.slotAddress(1)));
         },
         0, QStringLiteral("1"), 0},
        {"reset reads the records again", small,
         [] { aspi::sim::editState(simStatePath(), [](JukeboxState& s) { s.setRecord(s.slotAddress(9), true); }); },
         true, 4, 0, &CChangerDlg::OnReset, [](const JukeboxState&) {}, 8, QStringLiteral("9 - Full"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        aspi::sim::createState(simStatePath(), c.seed);
        if (!c.beforeIsNews)
            c.before();
        reopen();
        if (c.beforeIsNews)
            c.before();
        m_dlg->m_slotList.setCurSel(c.slotRow);
        m_dlg->m_driveCombo.setCurSel(c.driveRow);
        QStringList expected = slotRows();
        expected[c.row] = c.text;
        ((*m_dlg).*c.handler)();
        c.check(state());
        EXPECT_EQ(slotRows(), expected);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), c.selection);
    }
}

TEST_F(SimCommandsTest, ARefusedCommandLeavesJukeboxAndListAsTheyWereAndThePanelSaysWhy) {
    struct Case {
        std::string name;
        std::function<void()> before;
        int slotRow;
        Handler handler;
        uint8_t asc, ascq;
    };
    const std::vector<Case> cases = {
        {"mount into a full drive", [] { putDiscInDrive(5, 0); }, 0, &CChangerDlg::OnMount, 0x3B, 0x0D},
        {"export from an empty slot", [] {}, 10, &CChangerDlg::OnExport, 0x3B, 0x0E},
        {"unmount of an empty drive", [] {}, 0, &CChangerDlg::OnUnMount, 0x3B, 0x0E},
        {"import into a full slot", [] {}, 0, &CChangerDlg::OnImport, 0x3B, 0x0D},
        {"reset that fails",
         [] { aspi::sim::injectFault(simStatePath(), {.key = 4, .asc = 0x15, .ascq = 0x01, .opcode = 0x01}); }, 0,
         &CChangerDlg::OnReset, 0x15, 0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        aspi::sim::createState(simStatePath(), {.slots = 20, .full = std::vector<int>{1, 2, 3, 4, 5}});
        c.before();
        reopen();
        m_dlg->m_slotList.setCurSel(c.slotRow);
        const QStringList rows = slotRows();
        const auto discs = state().discs;
        ((*m_dlg).*c.handler)();
        EXPECT_EQ(slotRows(), rows);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), c.slotRow);
        const auto after = state().discs;
        for (const auto& [address, disc] : discs)  // a port may have been loaded; nothing else moved
            EXPECT_EQ(after.count(address), 1u) << address;
        m_dlg->OnPaint();
        EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(SS_ERR));
        EXPECT_EQ(m_dlg->itemText(res::kIdAscAscq), ascText(c.asc, c.ascq));
    }
}

TEST_F(SimCommandsTest, InitializeMakesTheRecordsMatchTheDiscsOverTheRangeGiven) {
    struct Case {
        std::string name;
        uint16_t slots;
        std::optional<std::pair<QString, QString>> typed;  // nothing: no prompt expected
        std::vector<QString> prompt;
        std::optional<std::pair<uint16_t, uint16_t>> range;
        bool slot2Fixed, slot12Fixed;
    };
    const std::vector<Case> cases = {
        {"18 slots: everything, no prompt", 18, std::nullopt, {}, std::nullopt, true, true},
        {"30 slots, 10 to 25", 30, std::pair{QStringLiteral("10"), QStringLiteral("25")},
         {QStringLiteral("1"), QStringLiteral("30")}, std::pair<uint16_t, uint16_t>{10, 25}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        aspi::sim::createState(simStatePath(), {.slots = c.slots, .full = std::vector<int>{1, 2, 3}});
        // The records believe slot 2 empty and slot 12 full, both wrongly.
        aspi::sim::editState(simStatePath(), [](JukeboxState& s) {
            s.setRecord(s.slotAddress(2), false);
            s.setRecord(s.slotAddress(12), true);
        });
        reopen();
        std::vector<QString> prompt;
        if (c.typed)
            m_modal.operateDialog([&](ui::TemplateDialog& d) {
                prompt = {d.itemText(res::kIdFirstValue), d.itemText(res::kIdSecondValue)};
                typeInto(d, res::kIdFirstValue, c.typed->first);
                typeInto(d, res::kIdSecondValue, c.typed->second);
                press(d, ui::kIdOk);
            });
        const size_t dialogs = m_modal.dialogsRun().size();
        m_dlg->OnInitialize();
        EXPECT_EQ(m_modal.dialogsRun().size() - dialogs, c.typed ? 1u : 0u);
        EXPECT_EQ(prompt, c.prompt);
        const JukeboxState s = state();
        EXPECT_EQ(s.initRange, c.range);
        EXPECT_EQ(s.recordedFull(s.slotAddress(2)), c.slot2Fixed);
        EXPECT_EQ(s.recordedFull(s.slotAddress(12)), !c.slot12Fixed);
        if (c.slots > 18) {  // the list is rebuilt from the new records
            EXPECT_EQ(m_dlg->m_slotList.getText(1), c.slot2Fixed ? QStringLiteral("2 - Full") : QStringLiteral("2"));
            EXPECT_EQ(m_dlg->m_slotList.getText(11), QStringLiteral("12"));
        }
    }
}

TEST_F(SimCommandsTest, ClearNvramForgetsEveryFullSlotButNotTheDiscs) {
    open({.slots = 250, .drives = 2, .full = std::vector<int>{1, 2, 7, 150, 250}});
    putDiscInDrive(7, 0);
    m_dlg->RefreshView(m_dlg->m_config);
    ASSERT_EQ(m_dlg->m_slotList.getText(149), QStringLiteral("150 - Full"));
    m_modal.answerYesNo(true);
    m_modal.answerYesNo(true);
    m_dlg->OnClearNvram();
    const JukeboxState s = state();
    EXPECT_EQ(s.records, std::vector<bool>(250, false));
    EXPECT_EQ(s.discs.size(), 5u);
    QStringList expected;
    for (int n = 1; n <= 250; ++n)
        expected << QString::number(n);
    expected[6] = QStringLiteral("7 in Drive 1");
    EXPECT_EQ(slotRows(), expected);
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);
}

TEST_F(SimCommandsTest, AboutShowsTheSimulatedChanger) {
    open({});
    std::vector<QString> shown;
    m_modal.operateDialog([&](ui::TemplateDialog& d) {
        for (int id : {res::kIdVendor, res::kIdProduct, res::kIdRevision, res::kIdHost, res::kIdScsiId, res::kIdLun})
            shown.push_back(d.itemText(id));
        press(d, ui::kIdOk);
    });
    m_dlg->OnAbout();
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("KARVEL  "), QStringLiteral("DISC JUKEBOX    "),
                                           QString::fromStdString(state().revision()), QStringLiteral("0"),
                                           QStringLiteral("0"), QStringLiteral("0")}));
}

TEST_F(SimCommandsTest, ATargetWithoutADeviceEmptiesTheViewAndTheBackOneRestoresIt) {
    const ScratchProfile profile;
    open({.slots = 20});
    const auto choose = [this](const char* id) {
        m_modal.operateDialog([id](ui::TemplateDialog& d) {
            typeInto(d, res::kIdTargetScsiId, QString::fromLatin1(id));
            press(d, ui::kIdOk);
        });
        m_dlg->OnScsiTargets();
    };
    choose("5");
    EXPECT_EQ(m_dlg->m_slotList.getCount(), 0);
    EXPECT_FALSE(m_dlg->itemAs<QPushButton>(res::kIdMount)->isEnabled());
    m_dlg->OnPaint();
    EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(SS_NO_DEVICE));

    choose("0");
    EXPECT_EQ(m_dlg->m_slotList.getCount(), 20);
    EXPECT_TRUE(m_dlg->itemAs<QPushButton>(res::kIdMount)->isEnabled());
}

}  // namespace
}  // namespace karvel::test
