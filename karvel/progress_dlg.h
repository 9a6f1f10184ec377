// SPDX-License-Identifier: MIT
// The modeless progress box (template 135): one line of text while a long operation runs.
// Made on the heap with its owner; it is on screen, centred over the owner and painted, when
// the constructor returns, and deletes itself when its window is destroyed (DestroyWindow).
// The operation then holds the thread, so the box paints every new text at once.
#pragma once

#include <QString>

#include "ui/template_dialog.h"

class CProgressDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    // parent owns the box (the main dialog); the box is shown before this returns.
    explicit CProgressDlg(QWidget* parent);

    // Creates the modeless window from the stored template, shows it and paints it; returns
    // whether it opened.
    virtual bool Create();
    // Puts text into control 1001 and paints it before returning.
    void SetText(const QString& text);
    // Closes the box; the object deletes itself, so the caller must not touch it afterwards.
    void DestroyWindow();

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
    // Centres the box over its owner, then runs the framework's initialisation; returns true.
    bool OnInitDialog() override;
    // Draws the box's frame: it has no title bar, and the window system gives it no border.
    void paintEvent(QPaintEvent* event) override;

private:
    // Lets the window system show what changed while the caller keeps the thread.
    void paintNow();
};
