// SPDX-License-Identifier: MIT
// A jukebox whose picker takes 400 ms per move: the wait cursor is up for the whole move and
// gone when the command returns. (How little processor time Karvel spends meanwhile is
// measured in bench/karvel_commands_bench.cpp.)
#include <atomic>
#include <chrono>
#include <thread>

#include <QGuiApplication>

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
    dlg->OnMount();
    const auto took = std::chrono::steady_clock::now() - start;
    sampler.join();
    ASSERT_GE(took, std::chrono::milliseconds(400));  // the sample fell inside the move
    EXPECT_TRUE(sample.taken);
    EXPECT_EQ(sample.shape, static_cast<int>(Qt::WaitCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(dlg->m_slotList.getText(0), QStringLiteral("1 in Drive 1"));
}

}  // namespace
}  // namespace karvel::test
