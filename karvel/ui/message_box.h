// SPDX-License-Identifier: MIT
// The program's message boxes, captioned with the application name, shown through the
// modal seam.
#pragma once

#include <QString>

#include "ui/modal_services.h"

namespace karvel::ui {

// Shows text with an OK button and the given icon; returns when the operator closes it.
void showMessage(const QString& text, MessageIcon icon = MessageIcon::none);

// Asks a Yes/No question (question icon, No the default); returns true for Yes.
bool askYesNo(const QString& text);

}  // namespace karvel::ui
