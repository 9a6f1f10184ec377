// SPDX-License-Identifier: MIT
#include "ui/application_name.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace karvel::ui {

namespace {
QString g_name;
}

QString applicationName() {
    if (!g_name.isEmpty())
        return g_name;
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void setApplicationName(const QString& executablePath) {
    g_name = QFileInfo(executablePath).fileName();
}

}  // namespace karvel::ui
