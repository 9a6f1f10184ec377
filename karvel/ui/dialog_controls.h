// SPDX-License-Identifier: MIT
// A dialog's controls addressed by control id: what a data exchange reads and writes, without
// knowing the dialog that holds them.
#pragma once

#include <QString>
#include <QWidget>

namespace karvel::ui {

class DialogControls {
public:
    virtual ~DialogControls() = default;

    // Returns control id, or null when the dialog has no such control.
    virtual QWidget* item(int id) const = 0;
    template <class W>
    W* itemAs(int id) const { return qobject_cast<W*>(item(id)); }
    virtual void setItemText(int id, const QString& text) = 0;
    virtual QString itemText(int id) const = 0;
};

}  // namespace karvel::ui
