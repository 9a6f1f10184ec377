// SPDX-License-Identifier: MIT
#include "ui/qt_modal_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/file_filter.h"
#include "ui/input_block.h"
#include "ui/template_dialog.h"

namespace karvel::ui {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::stop: return QMessageBox::Critical;
    case MessageIcon::exclamation: return QMessageBox::Warning;
    case MessageIcon::question: return QMessageBox::Question;
    case MessageIcon::none: break;
    }
    return QMessageBox::NoIcon;
}

QWidget* ownerOrActive(QWidget* owner) {
    return owner ? owner : QApplication::activeWindow();
}

}  // namespace

MessageAnswer QtModalServices::messageBox(QWidget* owner, const QString& text,
                                          const QString& caption, MessageIcon icon,
                                          MessageButtons buttons, const QString& detail) {
    const ModalInputPause answerable;
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, ownerOrActive(owner));
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    if (buttons == MessageButtons::yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::yes : MessageAnswer::no;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::ok;
}

std::optional<FileChoice> QtModalServices::openFile(QWidget* owner, const QString& filter,
                                                    const QString& initialName) {
    const ModalInputPause answerable;
    QFileDialog dialog(ownerOrActive(owner));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);  // path and file must exist
    dialog.setNameFilters(qtNameFilters(filter));
    // A wildcard initial name only repeats the first filter; a plain one is proposed.
    if (!initialName.contains(QLatin1Char('*')) && !initialName.contains(QLatin1Char('?')))
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().front();
    return FileChoice{path, QFileInfo(path).suffix()};
}

int QtModalServices::runDialog(TemplateDialog& dialog) {
    const ModalInputPause answerable;
    return dialog.exec();
}

// The services in force live here, beside the Qt ones they fall back to, so that the seam
// itself needs no implementation.
namespace {
ModalServices* gInstalled = nullptr;
}

ModalServices& modalServices() {
    static QtModalServices qtServices;
    return gInstalled ? *gInstalled : qtServices;
}

void setModalServices(ModalServices* services) {
    gInstalled = services;
}

}  // namespace karvel::ui
