// SPDX-License-Identifier: MIT
// Keeps the buttons of the commands that act on selected rows in step with the lists: Mount,
// UnMount, Import and Export are disabled while a list they need has no selected row (an
// empty list, or a slot list left without a selection), with a tool tip that says which.
// It follows the lists' own signals, so every refresh and every rebuild keeps it right.
#pragma once

#include <QObject>

namespace karvel::ui {
class ComboBox;
class ListBox;
class TemplateDialog;
}  // namespace karvel::ui

// The dialog's parts the watcher reads: the dialog holds the buttons, the lists are its own
// members. Named here so the watcher needs nothing of the main dialog's class.
struct CommandControls {
    karvel::ui::TemplateDialog& dialog;
    karvel::ui::ListBox& slotList;
    karvel::ui::ComboBox& driveCombo;
    karvel::ui::ComboBox& transportCombo;
    karvel::ui::ComboBox& ieCombo;
};

class CommandAvailability : public QObject {
    Q_OBJECT

public:
    // Watches the four lists (whose controls must exist); the dialog owns the watcher.
    explicit CommandAvailability(const CommandControls& controls);

    // Enables each command's button when every list it needs has a selected row.
    void update();

private:
    CommandControls m_controls;
};
