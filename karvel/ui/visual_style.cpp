// SPDX-License-Identifier: MIT
#include "ui/visual_style.h"

#include <QApplication>
#include <QStyleFactory>

namespace karvel::ui {

void enable3dControls() {
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
}

}  // namespace karvel::ui
