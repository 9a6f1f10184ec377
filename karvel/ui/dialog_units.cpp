// SPDX-License-Identifier: MIT
#include "ui/dialog_units.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

namespace karvel::ui {

DialogBaseUnits dialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

int scaleDialogUnits(int du, int base, int divisor) {
    const long long product = static_cast<long long>(du) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

QRect dialogUnitsToPixels(const QRect& du, const DialogBaseUnits& units) {
    return QRect(scaleDialogUnits(du.x(), units.avgCharWidth, 4),
                 scaleDialogUnits(du.y(), units.charHeight, 8),
                 scaleDialogUnits(du.width(), units.avgCharWidth, 4),
                 scaleDialogUnits(du.height(), units.charHeight, 8));
}

QFont dialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

}  // namespace karvel::ui
