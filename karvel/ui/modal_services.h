// SPDX-License-Identifier: MIT
// The seam through which every modal interaction of the program runs: message boxes, the
// file-open dialog and modal dialogs. The program uses the Qt implementation; tests install
// a scripted one that records what would have been shown and answers for the operator.
#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace karvel::ui {

class TemplateDialog;

enum class MessageIcon { none, stop, exclamation, question };
enum class MessageButtons { ok, yesNo };
enum class MessageAnswer { ok, yes, no };

// The file the operator chose: full path, and the characters after the last dot of its name.
struct FileChoice {
    QString path;
    QString extension;
};

class ModalServices {
public:
    virtual ~ModalServices() = default;

    // Shows a modal box (Yes/No boxes have No as the default) and returns the button chosen;
    // a non-empty detail is offered under the box's "Show Details...".
    virtual MessageAnswer messageBox(QWidget* owner, const QString& text, const QString& caption,
                                     MessageIcon icon, MessageButtons buttons,
                                     const QString& detail) = 0;

    // Runs the file-open dialog for an existing file; filter is "label|pattern|...||".
    // Returns the chosen file, or nothing when the operator cancels.
    virtual std::optional<FileChoice> openFile(QWidget* owner, const QString& filter,
                                               const QString& initialName) = 0;

    // Runs an already initialised dialog modally; returns the code it ended with.
    virtual int runDialog(TemplateDialog& dialog) = 0;
};

// Returns the services in force: the installed ones, else the Qt ones.
ModalServices& modalServices();

// Installs services (not owned, must outlive their use); null restores the Qt ones.
void setModalServices(ModalServices* services);

}  // namespace karvel::ui
