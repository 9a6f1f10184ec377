// SPDX-License-Identifier: MIT
// The program's icons, drawn from code (icon 128: a disc jukebox).
#pragma once

#include <QIcon>

namespace karvel::res {

// Returns icon id at 16 and 32 pixels, or a null icon when the program has none.
QIcon loadIcon(int id);

}  // namespace karvel::res
