// SPDX-License-Identifier: MIT
// An unsorted drop-down list (no edit field) over a QComboBox. Unlike QComboBox, appending
// to an empty list selects nothing: only setCurSel selects.
#pragma once

#include <QString>

class QComboBox;

namespace karvel::ui {

class ComboBox {
public:
    // Binds the control (owned by its dialog).
    void attach(QComboBox* control);
    QComboBox* control() const { return m_control; }

    void resetContent();
    // Appends a row; returns its index.
    int addString(const QString& text);
    // Selects row k; any k that is not a row clears the selection. Returns k or -1.
    int setCurSel(int k);
    // Returns the selected row, -1 when none.
    int getCurSel() const;
    int getCount() const;
    QString getText(int k) const;
    void enableWindow(bool enable);
    bool isWindowEnabled() const;

private:
    QComboBox* m_control = nullptr;
};

}  // namespace karvel::ui
