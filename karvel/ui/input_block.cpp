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

int blockCount = 0;
int pauseCount = 0;

bool inputBlocked() {
    return blockCount > 0 && pauseCount == 0;
}

class InputDiscarder final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return inputBlocked() && isOperatorInput(event->type());
    }
};

InputDiscarder* discarder = nullptr;

// Window-system events and posted ones alike: the input among them meets the discarder, the
// repaint requests are carried out.
void deliverQueued() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

InputBlock::InputBlock() {
    if (blockCount++ == 0 && QCoreApplication::instance()) {
        discarder = new InputDiscarder;
        QCoreApplication::instance()->installEventFilter(discarder);
    }
}

InputBlock::~InputBlock() {
    if (blockCount == 1 && pauseCount == 0 && discarder)
        deliverQueued();
    if (--blockCount == 0) {
        delete discarder;  // removes itself from the application's filters
        discarder = nullptr;
    }
}

ModalInputPause::ModalInputPause() {
    if (blockCount == 0)
        return;
    if (pauseCount == 0 && discarder)
        deliverQueued();
    ++pauseCount;
    m_paused = true;
}

ModalInputPause::~ModalInputPause() {
    if (m_paused)
        --pauseCount;
}

}  // namespace karvel::ui
