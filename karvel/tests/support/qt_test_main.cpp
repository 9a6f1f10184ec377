// SPDX-License-Identifier: MIT
// GoogleTest main for tests of the program: a QApplication exists while the tests run.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/application_name.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    karvel::ui::setApplicationName(QStringLiteral("karvel"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
