// SPDX-License-Identifier: MIT
// Keeps the buttons of the commands that act on selected rows in step with the lists: Mount,
// UnMount, Import and Export are disabled while a list they need has no selected row (an
// empty list, or a slot list left without a selection), with a tool tip that says which.
// It follows the lists' own signals, so every refresh and every rebuild keeps it right.
#pragma once

#include <QObject>

class CChangerDlg;

class CommandAvailability : public QObject {
    Q_OBJECT

public:
    // Watches dialog's four lists (which must exist); the dialog owns the watcher.
    explicit CommandAvailability(CChangerDlg& dialog);

    // Enables each command's button when every list it needs has a selected row.
    void update();

private:
    CChangerDlg& m_dialog;
};
