// SPDX-License-Identifier: MIT
// Modal interactions answered by a script instead of a person: every message box, file
// dialog and modal dialog is recorded, and answered with the next programmed answer.
// Install one per test; it restores the Qt services when it goes.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/modal_services.h"

namespace karvel::test {

// One message box as it would have been shown.
struct ShownMessage {
    QString text;
    QString caption;
    ui::MessageIcon icon;
    ui::MessageButtons buttons;
    QString detail;  // the text under "Show Details...", empty for none
};

// One file-open dialog as it would have been shown.
struct ShownFileDialog {
    QString filter;
    QString initialName;
};

class ScriptedModalServices final : public ui::ModalServices {
public:
    // Installs itself; the destructor restores the Qt services.
    ScriptedModalServices();
    ~ScriptedModalServices() override;
    ScriptedModalServices(const ScriptedModalServices&) = delete;
    ScriptedModalServices& operator=(const ScriptedModalServices&) = delete;

    // Answers the next Yes/No box (without a queued answer: No; OK boxes need none).
    void answerYesNo(bool yes);
    // Answers the next file dialog: a chosen file, or nothing to cancel (default: cancel).
    void answerFile(std::optional<ui::FileChoice> choice);
    // Acts for the operator in the next modal dialog: the dialog is on screen when operate
    // runs, and operate ends it (for instance with OnOK() or OnCancel()). A dialog without a
    // queued operator, or one still open afterwards, is cancelled.
    void operateDialog(std::function<void(ui::TemplateDialog&)> operate);

    const std::vector<ShownMessage>& messages() const { return m_messages; }
    const std::vector<ShownFileDialog>& fileDialogs() const { return m_fileDialogs; }
    // Returns the template ids of the modal dialogs run, in order.
    const std::vector<int>& dialogsRun() const { return m_dialogs; }
    // Returns how many dialogs were still open after their operator and had to be cancelled.
    int dialogsLeftOpen() const { return m_leftOpen; }

    ui::MessageAnswer messageBox(QWidget* owner, const QString& text, const QString& caption,
                                 ui::MessageIcon icon, ui::MessageButtons buttons,
                                 const QString& detail) override;
    std::optional<ui::FileChoice> openFile(QWidget* owner, const QString& filter,
                                           const QString& initialName) override;
    int runDialog(ui::TemplateDialog& dialog) override;

private:
    std::deque<bool> m_yesNo;
    struct FileAnswer {
        bool chosen = false;
        ui::FileChoice file;
    };
    std::deque<FileAnswer> m_files;
    std::deque<std::function<void(ui::TemplateDialog&)>> m_operators;
    std::vector<ShownMessage> m_messages;
    std::vector<ShownFileDialog> m_fileDialogs;
    std::vector<int> m_dialogs;
    int m_leftOpen = 0;
};

}  // namespace karvel::test
