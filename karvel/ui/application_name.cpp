// SPDX-License-Identifier: MIT
#include "ui/application_name.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace karvel::ui {

namespace {
QString gName;
}

QString applicationName() {
    if (!gName.isEmpty())
        return gName;
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void setApplicationName(const QString& executablePath) {
    gName = QFileInfo(executablePath).fileName();
}

}  // namespace karvel::ui
