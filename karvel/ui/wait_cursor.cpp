// SPDX-License-Identifier: MIT
#include "ui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace karvel::ui {

namespace {
int gDepth = 0;
}

void beginWaitCursor() {
    if (gDepth++ == 0) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        // Handlers block the event loop while their commands run: show the cursor now.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void endWaitCursor() {
    if (gDepth == 0)
        return;
    if (--gDepth == 0)
        QApplication::restoreOverrideCursor();
}

int waitCursorDepth() {
    return gDepth;
}

}  // namespace karvel::ui
