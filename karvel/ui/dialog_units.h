// SPDX-License-Identifier: MIT
// Dialog units to pixels, from the dialog font's metrics as dialog templates use them:
// x px = du * avgCharWidth / 4, y px = du * charHeight / 8.
#pragma once

#include <QRect>

class QFont;

namespace karvel::ui {

struct DialogBaseUnits {
    int avgCharWidth = 0;  // mean width of "A".."Z" "a".."z", rounded
    int charHeight = 0;    // the font's line height
};

// Returns the base units of font.
DialogBaseUnits dialogBaseUnits(const QFont& font);

// Returns du * base / divisor, rounded to nearest as the platform's MulDiv does.
int scaleDialogUnits(int du, int base, int divisor);

// Returns the pixel rectangle of a rectangle given in dialog units.
QRect dialogUnitsToPixels(const QRect& du, const DialogBaseUnits& units);

// Returns the dialog font: the application font at 8 points.
QFont dialogFont();

}  // namespace karvel::ui
