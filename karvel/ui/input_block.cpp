// SPDX-License-Identifier: MIT
#include "ui/input_block.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace karvel::ui {

namespace {

bool isOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

int g_blocks = 0;
int g_pauses = 0;

class InputDiscarder final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return inputBlocked() && isOperatorInput(event->type());
    }
};

InputDiscarder* g_discarder = nullptr;

// Window-system events and posted ones alike: the input among them meets the discarder, the
// repaint requests are carried out.
void deliverQueued() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

InputBlock::InputBlock() {
    if (g_blocks++ == 0 && QCoreApplication::instance()) {
        g_discarder = new InputDiscarder;
        QCoreApplication::instance()->installEventFilter(g_discarder);
    }
}

InputBlock::~InputBlock() {
    if (g_blocks == 1 && g_pauses == 0 && g_discarder)
        deliverQueued();
    if (--g_blocks == 0) {
        delete g_discarder;  // removes itself from the application's filters
        g_discarder = nullptr;
    }
}

ModalInputPause::ModalInputPause() {
    if (g_blocks == 0)
        return;
    if (g_pauses == 0 && g_discarder)
        deliverQueued();
    ++g_pauses;
    m_paused = true;
}

ModalInputPause::~ModalInputPause() {
    if (m_paused)
        --g_pauses;
}

bool inputBlocked() {
    return g_blocks > 0 && g_pauses == 0;
}

}  // namespace karvel::ui
