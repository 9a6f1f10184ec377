// SPDX-License-Identifier: MIT
// A jukebox whose picker takes 400 ms per move: the wait cursor is up for the whole move and
// gone when the command returns, and input made meanwhile is discarded. (How little processor
// time Karvel spends meanwhile is measured in bench/karvel_commands_bench.cpp.)
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "resources/resource_ids.h"
#include "sim_jukebox.h"

namespace karvel::test {
namespace {

using SlowPickerTest = SimDialogTest;

// Samples the override cursor from another thread while the handler holds the UI thread in
// the move; the UI thread changes nothing then, since it only waits for the picker.
TEST_F(SlowPickerTest, TheWaitCursorIsUpWhileThePickerMoves) {
    simStatePath("move_ms=400");
    open({.slots = 20});
    struct Sample {
        std::atomic<bool> taken{false};
        std::atomic<int> shape{-1};
    } sample;
    std::thread sampler([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const QCursor* cursor = QGuiApplication::overrideCursor();
        sample.shape = cursor ? static_cast<int>(cursor->shape()) : -1;
        sample.taken = true;
    });
    const auto start = std::chrono::steady_clock::now();
    m_dlg->OnMount();
    const auto took = std::chrono::steady_clock::now() - start;
    sampler.join();
    ASSERT_GE(took, std::chrono::milliseconds(400));  // the sample fell inside the move
    EXPECT_TRUE(sample.taken);
    EXPECT_EQ(sample.shape, static_cast<int>(Qt::WaitCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(m_dlg->m_slotList.getText(0), QStringLiteral("1 in Drive 1"));
}

// Clicks and keys made while the picker moves reach the program only when the Mount has
// ended. Run then, they would act on a view the operator had not seen: the click on slot 3
// and on Export would send disc 3 to the port, the Enter would start a second Mount.
TEST_F(SlowPickerTest, InputMadeDuringAMountIsDiscardedAndTheNextClickWorks) {
    simStatePath("move_ms=400");
    open({.slots = 20});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    auto* list = m_dlg->m_slotList.control();
    auto* mount = m_dlg->itemAs<QPushButton>(res::kIdMount);
    auto* exportButton = m_dlg->itemAs<QPushButton>(res::kIdExport);
    ASSERT_NE(mount, nullptr);
    ASSERT_NE(exportButton, nullptr);
    const QPoint slot3 = list->visualItemRect(list->item(2)).center();
    const QPoint exportCentre = exportButton->rect().center();
    auto before = state().discs;

    // Made on this thread (events belong to it), posted from another while the Mount runs.
    auto mouse = [](QEvent::Type type, QWidget* widget, QPoint at) {
        return new QMouseEvent(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                               type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    };
    struct Posting {
        QObject* receiver;
        QEvent* event;
    };
    std::vector<Posting> input = {
        {list->viewport(), mouse(QEvent::MouseButtonPress, list->viewport(), slot3)},
        {list->viewport(), mouse(QEvent::MouseButtonRelease, list->viewport(), slot3)},
        {exportButton, mouse(QEvent::MouseButtonPress, exportButton, exportCentre)},
        {exportButton, mouse(QEvent::MouseButtonRelease, exportButton, exportCentre)},
        {mount, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier)},
        {mount, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier)},
    };
    std::atomic<bool> posted{false};
    std::thread operatorHand([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        for (const Posting& p : input) QCoreApplication::postEvent(p.receiver, p.event);
        posted = true;
    });
    QTest::mouseClick(mount, Qt::LeftButton);
    const bool postedDuringMount = posted;
    operatorHand.join();
    ASSERT_TRUE(postedDuringMount);
    QCoreApplication::processEvents();

    auto& mounted = before[state().drives.first];
    mounted = before.at(state().slotAddress(1));
    mounted.source = state().slotAddress(1);
    before.erase(state().slotAddress(1));
    EXPECT_EQ(state().discs, before);  // the Mount, and nothing else
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 0);
    EXPECT_EQ(m_dlg->m_slotList.getText(0), QStringLiteral("1 in Drive 1"));
    EXPECT_EQ(m_dlg->m_slotList.getText(2), QStringLiteral("3 - Full"));

    // Once the command has ended, the operator's clicks work as ever.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, slot3);
    EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 2);
    QTest::mouseClick(exportButton, Qt::LeftButton);
    EXPECT_EQ(discAt(state(), state().ports.first), std::optional<uint32_t>(3));
    EXPECT_EQ(m_dlg->m_slotList.getText(2), QStringLiteral("3"));
}

}  // namespace
}  // namespace karvel::test
