// SPDX-License-Identifier: MIT
// Operator input while the changer works. A command holds the event loop until the changer
// has answered, and the window system keeps what the operator clicks or types meanwhile;
// delivered afterwards, it would act on a view the operator had not yet seen (a queued click
// on Export moves a disc nobody confirmed). So mouse and key events are discarded from the
// start of a command until its repaint is done.
#pragma once

namespace karvel::ui {

// Discards mouse and key events to every window of the program while it lives; blocks nest.
// The outermost one's destructor first delivers whatever is still queued, so that queued
// input is discarded and the command's repaint runs, and only then lets input through.
class InputBlock {
public:
    InputBlock();
    ~InputBlock();
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;
};

// Lets input through while a modal box that a command opens is up, since the operator must
// answer it; what was queued before the box opened is discarded first. Does nothing outside
// an InputBlock.
class ModalInputPause {
public:
    ModalInputPause();
    ~ModalInputPause();
    ModalInputPause(const ModalInputPause&) = delete;
    ModalInputPause& operator=(const ModalInputPause&) = delete;

private:
    bool m_paused = false;
};

}  // namespace karvel::ui
