// SPDX-License-Identifier: MIT
// karvel's commands on the simulated jukebox through libwnaspi32.so: how much processor time
// the program spends while a slow picker moves (it waits without spinning), and how long a
// Reset that rebuilds a 25600-slot list takes, every button kept in step with the list.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>
#include <string>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "changer_app.h"
#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include "resources/resource_ids.h"
#include "scripted_modal_services.h"
#include "sim/sim_state.h"
#include "ui/application_name.h"

namespace {

constexpr int kMoveMs = 100;
constexpr int kInitMs = 100;
std::string gStatePath;

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A fresh jukebox of the given seed and a dialog opened on it.
struct Opened {
    explicit Opened(const aspi::sim::Seed& seed) {
        aspi::sim::createState(gStatePath, seed);
        app.m_adapterCount = static_cast<uint8_t>(GetAspi32Info() & 0xFF);
        dlg = std::make_unique<CChangerDlg>(app);
        dlg->createWindow();
        dlg->show();
    }
    karvel::test::ScriptedModalServices modal;
    CChangerApp app;
    std::unique_ptr<CChangerDlg> dlg;
};

// Reports processor time and wall time per command of the timed loop.
void report(benchmark::State& state, double cpu, double wall, int commandsPerIteration) {
    const double commands = static_cast<double>(state.iterations()) * commandsPerIteration;
    state.counters["cpu_ms_per_command"] = cpu * 1e3 / commands;
    state.counters["wall_ms_per_command"] = wall * 1e3 / commands;
    state.counters["cpu_share_pct"] = 100.0 * cpu / wall;
}

// Mount slot 1 into drive 1, then UnMount it: two moves of kMoveMs each.
void BM_MountAndUnMountWithASlowPicker(benchmark::State& state) {
    Opened o({.slots = 100, .drives = 2});
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu0 = seconds(CLOCK_PROCESS_CPUTIME_ID), wall0 = seconds(CLOCK_MONOTONIC);
        o.dlg->m_slotList.setCurSel(0);
        o.dlg->OnMount();
        o.dlg->OnUnMount();
        cpu += seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        wall += seconds(CLOCK_MONOTONIC) - wall0;
    }
    report(state, cpu, wall, 2);
}
BENCHMARK(BM_MountAndUnMountWithASlowPicker)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Initialize over a range, with the prompt answered and the progress box on screen.
void BM_InitializeWithASlowChanger(benchmark::State& state) {
    Opened o({.slots = 100, .drives = 2});
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        o.modal.operateDialog([](karvel::ui::TemplateDialog& d) { d.OnOK(); });
        const double cpu0 = seconds(CLOCK_PROCESS_CPUTIME_ID), wall0 = seconds(CLOCK_MONOTONIC);
        o.dlg->OnInitialize();
        cpu += seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        wall += seconds(CLOCK_MONOTONIC) - wall0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    report(state, cpu, wall, 1);
}
BENCHMARK(BM_InitializeWithASlowChanger)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Reset on the largest jukebox: REZERO UNIT, 256 READ BUFFERs and a list of 25600 rows.
void BM_ResetOn25600Slots(benchmark::State& state) {
    Opened o({.slots = 25600, .drives = 2});
    for (auto _ : state)
        o.dlg->OnReset();
    state.counters["rows"] = o.dlg->m_slotList.getCount();
}
BENCHMARK(BM_ResetOn25600Slots)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("aspi32.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QStringLiteral("sim jukebox.state move_ms=%1 init_ms=%2\n").arg(kMoveMs).arg(kInitMs).toUtf8());
    file.close();
    setenv("ASPI32_CONFIG", config.toLocal8Bit().constData(), 1);
    gStatePath = dir.filePath(QStringLiteral("jukebox.state")).toStdString();

    QApplication application(argc, argv);
    karvel::ui::setApplicationName(QStringLiteral("karvel"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
