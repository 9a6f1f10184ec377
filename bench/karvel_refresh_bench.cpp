// SPDX-License-Identifier: MIT
// One refresh of karvel's view (RefreshView) on a 250-slot changer played by the scripted
// ASPI fake: its time, and the number of SCSI commands it sends (counter scsi_commands).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "changer_app.h"
#include "changer_dlg.h"
#include "scripted_aspi.h"
#include "scripted_changer.h"
#include "scripted_modal_services.h"

namespace {

void BM_RefreshView250Slots(benchmark::State& state) {
    karvel::test::ScriptedAspi aspi;
    aspi.addDevice(0, 0, 0, 8);
    karvel::test::ScriptedChanger changer;
    changer.assignment.storageCount = 250;
    changer.fullnessMaps[0] = {0xFF, 0x0F};
    changer.drives = {{true, 3}, {false, 0}};
    changer.serve(aspi);
    karvel::test::ScriptedModalServices modal;
    CChangerApp app;
    app.m_adapterCount = 1;
    CChangerDlg dlg(app);
    dlg.createWindow();
    const size_t before = aspi.requests().size();
    for (auto _ : state)
        dlg.RefreshView(dlg.m_config);
    const size_t commands = aspi.requests().size() - before;
    state.counters["scsi_commands"] = static_cast<double>(commands) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RefreshView250Slots)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
