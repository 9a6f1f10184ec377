// SPDX-License-Identifier: MIT
// An unsorted single-selection list box over a QListWidget, with the list semantics the
// dialog code relies on: insert at k only when k <= count, deleting an invalid index does
// nothing, deleting the selected row leaves nothing selected (any other selection follows its
// row), selecting an index that is not a row leaves nothing selected.
#pragma once

#include <QString>

class QListWidget;

namespace karvel::ui {

class ListBox {
public:
    // Binds the control (owned by its dialog).
    void attach(QListWidget* control);
    QListWidget* control() const { return m_control; }

    void resetContent();
    // Appends a row; returns its index.
    int addString(const QString& text);
    // Inserts a row at k (k == count appends); returns k, or -1 and does nothing when k is
    // not in 0..count.
    int insertString(int k, const QString& text);
    // Deletes row k; returns the remaining count, or -1 and does nothing for an invalid k.
    // When row k was selected, nothing is selected afterwards.
    int deleteString(int k);
    // Selects row k; any k that is not a row clears the selection. Returns k or -1.
    int setCurSel(int k);
    // Returns the selected row, -1 when none.
    int getCurSel() const;
    int getCount() const;
    // Returns the text of row k, empty for an invalid k.
    QString getText(int k) const;

private:
    QListWidget* m_control = nullptr;
};

}  // namespace karvel::ui
