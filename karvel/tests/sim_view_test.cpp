// SPDX-License-Identifier: MIT
// The real main dialog on the simulated jukebox through libwnaspi32.so: the view a user sees
// for the jukebox's contents. The layer reads its configuration once, so the process has one
// sim line; each test lays a fresh jukebox into its state file.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "changer_app.h"
#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include "resources/resource_ids.h"
#include "scripted_modal_services.h"
#include "sim/sim_state.h"

namespace karvel::test {
namespace {

// The process's sim configuration, made before the layer's first use.
const std::string& statePath() {
    static QTemporaryDir dir;
    static const std::string path = [] {
        const QString config = dir.filePath(QStringLiteral("aspi32.conf"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write("sim jukebox.state\n");
        file.close();
        setenv("ASPI32_CONFIG", config.toLocal8Bit().constData(), 1);
        return dir.filePath(QStringLiteral("jukebox.state")).toStdString();
    }();
    return path;
}

// Moves the disc of 1-based slot n into drive row d, as a mount would have.
void putDiscInDrive(int n, int d) {
    aspi::sim::editState(statePath(), [&](aspi::sim::JukeboxState& s) {
        auto node = s.discs.extract(s.slotAddress(n));
        ASSERT_FALSE(node.empty()) << "no disc in slot " << n;
        node.key() = static_cast<uint16_t>(s.drives.first + d);
        node.mapped().source = s.slotAddress(n);
        s.discs.insert(std::move(node));
    });
}

class SimViewTest : public ::testing::Test {
protected:
    void SetUp() override { statePath(); }

    CChangerDlg& open() {
        const uint32_t support = GetAspi32Info();
        ASSERT_READY(support);
        m_app.m_adapterCount = static_cast<uint8_t>(support & 0xFF);
        m_dlg = std::make_unique<CChangerDlg>(m_app);
        m_dlg->createWindow();
        m_dlg->show();
        return *m_dlg;
    }
    static void ASSERT_READY(uint32_t support) { EXPECT_EQ((support >> 8) & 0xFF, SS_COMP); }

    QStringList slotRows() const {
        QStringList rows;
        for (int i = 0; i < m_dlg->m_slotList.getCount(); ++i)
            rows << m_dlg->m_slotList.getText(i);
        return rows;
    }

    ScriptedModalServices m_modal;
    CChangerApp m_app;
    std::unique_ptr<CChangerDlg> m_dlg;
};

TEST_F(SimViewTest, ShowsFullSlotsAndTheDiscsInDrives) {
    aspi::sim::createState(statePath(), {.slots = 250, .drives = 2, .full = std::vector<int>{1, 2, 7, 101, 250}});
    putDiscInDrive(7, 1);
    open();
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 250);
    EXPECT_EQ(rows[0], QStringLiteral("1 - Full"));
    EXPECT_EQ(rows[2], QStringLiteral("3"));
    EXPECT_EQ(rows[6], QStringLiteral("7 in Drive 2"));
    EXPECT_EQ(rows[100], QStringLiteral("101 - Full"));
    EXPECT_EQ(rows[249], QStringLiteral("250 - Full"));
    EXPECT_EQ(m_dlg->m_driveCombo.getText(1), QStringLiteral("Drive 2"));
    EXPECT_EQ(m_dlg->itemText(res::kIdInquiryText), QStringLiteral("KARVEL  DISC JUKEBOX    "));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    m_dlg->repaint();
    char completed[100];
    GetASPIstatus(SS_COMP, completed);
    EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), QString::fromLatin1(completed));
    EXPECT_TRUE(m_dlg->itemText(res::kIdScsiStatus).isEmpty());
}

TEST_F(SimViewTest, SmallJukeboxShowsSlotNumbersOnly) {
    aspi::sim::createState(statePath(), {.slots = 18, .drives = 1, .full = std::vector<int>{1, 2, 3}});
    putDiscInDrive(2, 0);
    open();
    QStringList expected;
    for (int i = 1; i <= 18; ++i)
        expected << QString::number(i);
    expected[1] = QStringLiteral("2 in Drive 1");
    EXPECT_EQ(slotRows(), expected);
}

TEST_F(SimViewTest, RefusedFullnessRecordsAreLearntFromElementStatus) {
    aspi::sim::createState(statePath(), {.slots = 40, .firstStorage = 0x0100, .full = std::vector<int>{4, 40}});
    aspi::sim::injectFault(statePath(), {.key = 5, .asc = 0x20, .ascq = 0x00, .opcode = 0x3C, .count = 0});
    putDiscInDrive(40, 0);
    open();
    const QStringList rows = slotRows();
    ASSERT_EQ(rows.size(), 40);
    EXPECT_EQ(rows[3], QStringLiteral("4 - Full"));
    EXPECT_EQ(rows[4], QStringLiteral("5"));
    EXPECT_EQ(rows[39], QStringLiteral("40 in Drive 1"));
}

}  // namespace
}  // namespace karvel::test
