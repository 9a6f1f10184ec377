// SPDX-License-Identifier: MIT
// The real modal interactions: QMessageBox, QFileDialog and QDialog::exec.
#pragma once

#include "ui/modal_services.h"

namespace karvel::ui {

class QtModalServices final : public ModalServices {
public:
    MessageAnswer messageBox(QWidget* owner, const QString& text, const QString& caption,
                             MessageIcon icon, MessageButtons buttons, const QString& detail) override;
    std::optional<FileChoice> openFile(QWidget* owner, const QString& filter,
                                       const QString& initialName) override;
    int runDialog(TemplateDialog& dialog) override;
};

}  // namespace karvel::ui
