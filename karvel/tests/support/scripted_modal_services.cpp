// SPDX-License-Identifier: MIT
#include "scripted_modal_services.h"

#include "ui/input_block.h"
#include "ui/template_dialog.h"

namespace karvel::test {

ScriptedModalServices::ScriptedModalServices() {
    ui::setModalServices(this);
}

ScriptedModalServices::~ScriptedModalServices() {
    ui::setModalServices(nullptr);
}

void ScriptedModalServices::answerYesNo(bool yes) {
    m_yesNo.push_back(yes);
}

void ScriptedModalServices::answerFile(std::optional<ui::FileChoice> choice) {
    m_files.push_back(choice ? FileAnswer{true, *choice} : FileAnswer{});
}

void ScriptedModalServices::operateDialog(std::function<void(ui::TemplateDialog&)> operate) {
    m_operators.push_back(std::move(operate));
}

ui::MessageAnswer ScriptedModalServices::messageBox(QWidget*, const QString& text,
                                                    const QString& caption, ui::MessageIcon icon,
                                                    ui::MessageButtons buttons, const QString& detail) {
    m_messages.push_back(ShownMessage{text, caption, icon, buttons, detail});
    if (buttons == ui::MessageButtons::ok)
        return ui::MessageAnswer::ok;
    bool yes = false;
    if (!m_yesNo.empty()) {
        yes = m_yesNo.front();
        m_yesNo.pop_front();
    }
    return yes ? ui::MessageAnswer::yes : ui::MessageAnswer::no;
}

std::optional<ui::FileChoice> ScriptedModalServices::openFile(QWidget*, const QString& filter,
                                                              const QString& initialName) {
    m_fileDialogs.push_back(ShownFileDialog{filter, initialName});
    if (m_files.empty())
        return std::nullopt;
    const FileAnswer answer = m_files.front();
    m_files.pop_front();
    if (!answer.chosen)
        return std::nullopt;
    return answer.file;
}

int ScriptedModalServices::runDialog(ui::TemplateDialog& dialog) {
    const ui::ModalInputPause answerable;  // the operator's keys and clicks reach the dialog
    m_dialogs.push_back(dialog.templateId());
    dialog.setResult(0);
    dialog.show();
    if (!m_operators.empty()) {
        auto operate = std::move(m_operators.front());
        m_operators.pop_front();
        operate(dialog);
    }
    if (dialog.isVisible()) {
        ++m_leftOpen;
        dialog.OnCancel();
    }
    return dialog.result();
}

}  // namespace karvel::test
