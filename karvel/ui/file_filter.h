// SPDX-License-Identifier: MIT
// The file dialog's filter list, written as the string table holds it
// ("label|pattern|label|pattern||", patterns separated by ';'), converted for QFileDialog.
#pragma once

#include <QStringList>

namespace karvel::ui {

// Returns one Qt name filter per label/pattern pair, "label (patterns)"; a label that already
// ends with its patterns in parentheses is kept as it is, and "*.*" becomes "*" so files
// without an extension are listed too.
QStringList qtNameFilters(const QString& filter);

}  // namespace karvel::ui
