// SPDX-License-Identifier: MIT
#include "ui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace karvel::ui {

namespace {
int g_depth = 0;
}

void beginWaitCursor() {
    if (g_depth++ == 0) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        // Handlers block the event loop while their commands run: show the cursor now.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void endWaitCursor() {
    if (g_depth == 0)
        return;
    if (--g_depth == 0)
        QApplication::restoreOverrideCursor();
}

int waitCursorDepth() {
    return g_depth;
}

}  // namespace karvel::ui
