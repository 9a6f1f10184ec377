// SPDX-License-Identifier: MIT
// The address range prompt (template 107): two integers, each with a label the caller sets.
// OK validates both fields (any 32-bit integer) and closes; Cancel closes.
#pragma once

#include <cstdint>

#include <QString>

#include "ui/template_dialog.h"

class CAddressRangeDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    // owner is the window the prompt belongs to (the main dialog), or null.
    explicit CAddressRangeDlg(QWidget* owner = nullptr);

    int32_t m_firstValue = 0;   // edit box 1012, top row
    int32_t m_secondValue = 0;  // edit box 1006, bottom row
    QString m_firstLabel;       // static 1013, left of the top row
    QString m_secondLabel;      // static 1010, left of the bottom row

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
};
