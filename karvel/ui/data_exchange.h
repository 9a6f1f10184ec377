// SPDX-License-Identifier: MIT
// Data exchange between a dialog's members and its controls, in binding order. On saving,
// the first field that fails validation shows its message, gets its text selected, and
// stops the exchange: every later call does nothing.
#pragma once

#include <cstdint>

#include <QString>

namespace karvel::ui {

class ComboBox;
class DialogControls;
class ListBox;

class DataExchange {
public:
    DataExchange(DialogControls& dialog, bool saveAndValidate);

    bool saving() const { return m_saving; }
    // Returns whether a field failed; the dialog then stays open.
    bool failed() const { return m_failed; }

    // Binds a list or combo box member to control id.
    void control(int id, ListBox& box);
    void control(int id, ComboBox& box);

    // Moves value into edit control id, or (saving) reads it back; a text that is not an
    // integer shows "Please enter an integer.".
    void integer(int id, int32_t& value);

    // Saving only: a value outside min..max shows "Please enter an integer between %1 and %2.".
    void integerRange(int id, int32_t value, int32_t min, int32_t max);

private:
    void fail(int id, const QString& message);

    DialogControls& m_dialog;
    bool m_saving;
    bool m_failed = false;
};

}  // namespace karvel::ui
