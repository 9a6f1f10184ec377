// The modeless progress box (template 135): one line of text while a long operation runs.
// Made on the heap; it is on screen when the constructor returns, and deletes itself when
// its window is destroyed (DestroyWindow).
#pragma once

#include "ui/template_dialog.h"

class CProgressDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    explicit CProgressDlg(QWidget* parent);

    // Creates the modeless window from the stored template; returns whether it opened.
    virtual bool Create();
    // Closes the box; the object deletes itself, so the caller must not touch it afterwards.
    void DestroyWindow();

protected:
    bool OnInitDialog() override;
};
