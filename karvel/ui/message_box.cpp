// SPDX-License-Identifier: MIT
#include "ui/message_box.h"

#include "ui/application_name.h"

namespace karvel::ui {

void showMessage(const QString& text, MessageIcon icon) {
    modalServices().messageBox(nullptr, text, applicationName(), icon, MessageButtons::ok, QString());
}

bool askYesNo(const QString& text) {
    return modalServices().messageBox(nullptr, text, applicationName(), MessageIcon::question,
                                      MessageButtons::yesNo, QString()) == MessageAnswer::yes;
}

}  // namespace karvel::ui
