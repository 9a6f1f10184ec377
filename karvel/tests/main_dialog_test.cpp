// SPDX-License-Identifier: MIT
// The main dialog as a window: template 102's controls, keys, its own system menu, and the
// start when the completion event cannot be made.
#include <tuple>
#include <vector>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "changer_dialog_fixture.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "ui/system_menu.h"

namespace karvel::test {
namespace {

using MainDialogTest = ChangerDialogTest;

TEST_F(MainDialogTest, ControlsSitAtTheirTemplateRectangles) {
    struct Control {
        int id;
        const char* className;
        QString text;
        QRect du;
    };
    const std::vector<Control> controls = {
        {5, "QPushButton", QStringLiteral("Mount"), {4, 106, 50, 14}},
        {7, "QPushButton", QStringLiteral("Import"), {69, 106, 50, 14}},
        {6, "QPushButton", QStringLiteral("UnMount"), {4, 124, 50, 14}},
        {3, "QPushButton", QStringLiteral("Export"), {69, 124, 50, 14}},
        {1003, "QPushButton", QStringLiteral("Initialize"), {4, 143, 50, 14}},
        {4, "QPushButton", QStringLiteral("Reset"), {69, 143, 50, 14}},
        {1002, "QPushButton", QStringLiteral("New Firmware "), {4, 161, 50, 14}},
        {1034, "QPushButton", QStringLiteral("Clear NVRAM"), {69, 161, 50, 14}},
        {1000, "QListWidget", QString(), {3, 21, 59, 80}},
        {1014, "QGroupBox", QStringLiteral("STATUS:"), {1, 180, 119, 58}},
        {1021, "QComboBox", QString(), {65, 21, 55, 30}},
        {1022, "QComboBox", QString(), {65, 56, 55, 30}},
        {1023, "QComboBox", QString(), {65, 88, 55, 30}},
        {1024, "QLabel", QStringLiteral("KARVEL  TEST JUKEBOX    "), {3, 2, 114, 8}},
    };
    open();
    for (const Control& c : controls) {
        QWidget* w = m_dlg->item(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_STREQ(w->metaObject()->className(), c.className) << c.id;
        EXPECT_EQ(m_dlg->itemText(c.id), c.text) << c.id;
        const QRect expected = m_dlg->mapDialogRect(c.du);
        EXPECT_EQ(w->geometry().topLeft(), expected.topLeft()) << c.id;
        EXPECT_EQ(w->width(), expected.width()) << c.id;
        if (c.id < 1021 || c.id > 1023) {  // a combo box is one row high, not its list's height
            EXPECT_EQ(w->height(), expected.height()) << c.id;
        }
    }
    const ui::DialogBaseUnits units = m_dlg->baseUnits();
    EXPECT_EQ(m_dlg->mapDialogRect(QRect(0, 0, 122, 239)).size(),
              QSize((122 * units.avgCharWidth + 2) / 4, (239 * units.charHeight + 4) / 8));
    for (const char* label : {"Disc Address", "Drive Number", "Transport ", "Import/Export"}) {
        bool found = false;
        for (QLabel* l : m_dlg->findChildren<QLabel*>())
            found = found || l->text() == QString::fromUtf8(label);
        EXPECT_TRUE(found) << label;
    }
}

TEST_F(MainDialogTest, WindowIsTitledKarvelWithoutMaximiseOrResizing) {
    open();
    EXPECT_EQ(m_dlg->windowTitle(), QStringLiteral("Karvel"));
    EXPECT_FALSE(m_dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(m_dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(m_dlg->minimumSize(), m_dlg->maximumSize());
    EXPECT_FALSE(m_dlg->windowIcon().isNull());
}

TEST_F(MainDialogTest, MountIsTheDefaultButtonAndEscapeEndsTheDialog) {
    open();
    auto* mount = m_dlg->itemAs<QPushButton>(res::kIdMount);
    ASSERT_NE(mount, nullptr);
    EXPECT_TRUE(mount->isDefault());
    QSignalSpy clicked(mount, &QPushButton::clicked);
    m_dlg->m_slotList.control()->setFocus();
    QTest::keyClick(m_dlg->m_slotList.control(), Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(m_dlg->isVisible());

    QSignalSpy finished(m_dlg.get(), &QDialog::finished);
    QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_dlg->isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), ui::kIdCancel);
}

std::vector<std::tuple<uint32_t, QString, bool>> menuItems(const CChangerDlg& dlg) {
    std::vector<std::tuple<uint32_t, QString, bool>> items;
    for (const ui::SystemMenu::Item& i : dlg.systemMenu().items())
        items.emplace_back(i.id, i.text, i.separator);
    return items;
}

TEST_F(MainDialogTest, SystemMenuCarriesTheProgramsCommandsAroundThePlatformsOwn) {
    struct Case {
        QString aboutText;
        std::vector<std::tuple<uint32_t, QString, bool>> expected;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("&About karvel..."),
         {{17, QStringLiteral("SCSI &Targets ..."), false},
          {18, QStringLiteral("Re&fresh View"), false},
          {ui::kScMinimize, QStringLiteral("Mi&nimize"), false},
          {ui::kScClose, QStringLiteral("&Close"), false},
          {0, QString(), true},
          {16, QStringLiteral("&About karvel..."), false}}},
        {QString(),  // string 101 empty: only Maximize and Size go
         {{ui::kScMinimize, QStringLiteral("Mi&nimize"), false}, {ui::kScClose, QStringLiteral("&Close"), false}}},
    };
    for (const Case& c : cases) {
        res::restoreStrings();
        if (c.aboutText.isEmpty())
            res::overrideString(res::kStrAboutBox, QString());
        open();
        EXPECT_EQ(menuItems(*m_dlg), c.expected);
    }
    res::restoreStrings();
}

TEST_F(MainDialogTest, RefreshViewFromTheSystemMenuRebuildsTheView) {
    m_changer.assignment.storageCount = 10;
    open();
    ASSERT_EQ(slotRows().size(), 10);
    m_changer.assignment.storageCount = 12;
    m_changer.drives = {{true, 12}, {false, 0}};
    const size_t before = m_aspi.requests().size();
    ASSERT_TRUE(m_dlg->systemMenu().choose(res::kIdmRefreshView));
    EXPECT_EQ(m_aspi.requests().size() - before, 4u);
    EXPECT_EQ(slotRows().size(), 12);
    EXPECT_EQ(slotRows().back(), QStringLiteral("12 in Drive 1"));
}

TEST_F(MainDialogTest, SystemMenuOpensFromTheIconAndWithAltSpace) {
    open();
    QMenu* menu = m_dlg->systemMenu().menu();
    auto* button = m_dlg->findChild<QToolButton*>(QStringLiteral("systemMenuButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_LT(button->geometry().bottom(), m_dlg->item(res::kIdInquiryText)->geometry().top());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
    QTest::keyClick(m_dlg->m_slotList.control(), Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(MainDialogTest, CloseFromTheSystemMenuEndsTheDialog) {
    open();
    QSignalSpy finished(m_dlg.get(), &QDialog::finished);
    m_dlg->systemMenu().choose(ui::kScClose);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), ui::kIdCancel);
}

TEST_F(MainDialogTest, WithoutACompletionEventTheDialogOpensUnsearchedAndSaysSo) {
    AspiEvent::setMakerForTest([] { return -1; });
    open();
    AspiEvent::setMakerForTest(nullptr);
    ASSERT_EQ(m_modal.messages().size(), 1u);
    const ShownMessage& shown = m_modal.messages()[0];
    EXPECT_EQ(std::make_tuple(shown.text, shown.caption, shown.icon, shown.buttons),
              std::make_tuple(QStringLiteral("System Error: Cannot Create ASPI Competion Event"),
                              QStringLiteral("karvel"), ui::MessageIcon::stop, ui::MessageButtons::ok));
    EXPECT_TRUE(m_aspi.probes().empty());
    EXPECT_TRUE(m_aspi.requests().empty());
    EXPECT_EQ(m_dlg->itemText(res::kIdInquiryText), QStringLiteral("Inquiry Data"));
    EXPECT_EQ(m_dlg->systemMenu().items().size(), 4u);  // Size, Minimize, Maximize, Close
    EXPECT_TRUE(m_dlg->isVisible());
}

}  // namespace
}  // namespace karvel::test
