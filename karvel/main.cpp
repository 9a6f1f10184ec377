// SPDX-License-Identifier: MIT
// karvel: the changer control program. `karvel --check-firmware FILE [--image OUT]` checks
// a firmware file without a window.
#include <cstring>

#include <QApplication>

#include "changer_app.h"
#include "firmware/check_firmware.h"
#include "ui/application_name.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--check-firmware") == 0)
        return check_firmware_main(argc, argv);
    QApplication application(argc, argv);
    karvel::ui::setApplicationName(QString::fromLocal8Bit(argv[0]));
    CChangerApp app;
    app.InitInstance();
    return 0;
}
