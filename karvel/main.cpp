// SPDX-License-Identifier: MIT
// karvel: the changer control program. `karvel --check-firmware FILE [--image OUT]` checks
// a firmware file without a window; --help and --version answer without one too.
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "changer_app.h"
#include "firmware/check_firmware.h"
#include "karvel_version.h"
#include "ui/application_name.h"

namespace {

constexpr const char* kUsage =
    "usage: karvel [QT-OPTION...]\n"
    "       karvel --check-firmware FILE [--image OUT]\n"
    "       karvel --help | --version\n"
    "\n"
    "Opens the changer control dialog on the medium changer saved in the profile\n"
    "($XDG_CONFIG_HOME/karvel.INI, default ~/.config/karvel.INI), or on the first one\n"
    "the ASPI layer finds (its configuration: $ASPI32_CONFIG, else wnaspi32.conf).\n"
    "\n"
    "  --check-firmware FILE [--image OUT]\n"
    "              load a firmware file (.mot, .hex, .bin) as New Firmware does, without\n"
    "              a window and without touching a device; exit 0 when it loads\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Qt's own options (-platform NAME, -display DISPLAY, ...) are passed to Qt.\n"
    "See karvel(1) and wnaspi32.conf(5).\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--check-firmware") == 0)
        return checkFirmwareMain(argc, argv);
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("karvel %s\n", karvel::kVersion);
        return 0;
    }
    QApplication application(argc, argv);
    karvel::ui::setApplicationName(QString::fromLocal8Bit(argv[0]));
    CChangerApp app;
    app.InitInstance();
    return 0;
}
