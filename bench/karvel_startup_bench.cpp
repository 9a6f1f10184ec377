// SPDX-License-Identifier: MIT
// From process start to the first painted view of karvel's main dialog on a 250-slot
// simulated jukebox: each iteration starts this program again as a child, which runs the
// program's own start (ASPI check, profile, discovery, first refresh) and ends right after
// the dialog's first paint.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "changer_app.h"
#include "child_process.h"
#include "scratch_dir.h"
#include "ui/application_name.h"
#include "ui/modal_services.h"
#include "ui/template_dialog.h"

namespace {

std::string gSelf;

// Shows the main dialog and closes it as soon as its first paint has run.
class FirstPaintServices final : public karvel::ui::ModalServices, public QObject {
public:
    karvel::ui::MessageAnswer messageBox(QWidget*, const QString&, const QString&, karvel::ui::MessageIcon,
                                         karvel::ui::MessageButtons, const QString&) override {
        return karvel::ui::MessageAnswer::no;
    }
    std::optional<karvel::ui::FileChoice> openFile(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    int runDialog(karvel::ui::TemplateDialog& dialog) override {
        m_dialog = &dialog;
        dialog.installEventFilter(this);
        return dialog.exec();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_dialog && event->type() == QEvent::Paint)
            QTimer::singleShot(0, m_dialog, [this] { m_dialog->done(karvel::ui::kIdCancel); });
        return false;
    }

private:
    karvel::ui::TemplateDialog* m_dialog = nullptr;
};

int runChild(int argc, char** argv) {
    QApplication application(argc, argv);
    karvel::ui::setApplicationName(QStringLiteral("karvel"));
    FirstPaintServices services;
    karvel::ui::setModalServices(&services);
    CChangerApp app;
    app.InitInstance();
    karvel::ui::setModalServices(nullptr);
    return 0;
}

void BM_ProcessStartToFirstPaint250Slots(benchmark::State& state) {
    const karvel::test_support::ScratchDir scratch("karvel-bench");
    const std::filesystem::path dir = scratch.root();
    std::filesystem::create_directories(dir / "config");
    std::ofstream(dir / "aspi32.conf") << "sim jukebox.state slots=250 drives=2\n";
    setenv("ASPI32_CONFIG", (dir / "aspi32.conf").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto runOnce = [&] {
        const int exitCode = karvel::test_support::runProcess({gSelf, "--child"}).exitCode;
        if (exitCode == karvel::test_support::kNotStarted)
            state.SkipWithError("cannot start the child");
        else if (exitCode != 0)
            state.SkipWithError("the child failed");
    };
    runOnce();  // lays the jukebox's state file
    for (auto _ : state)
        runOnce();
}
BENCHMARK(BM_ProcessStartToFirstPaint250Slots)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    gSelf = std::filesystem::canonical("/proc/self/exe").string();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
