// SPDX-License-Identifier: MIT
// The application name: the executable's file name. It captions the program's message boxes
// and names the profile file.
#pragma once

#include <QString>

namespace karvel::ui {

// Returns the name set last, else the running executable's file name.
QString applicationName();

// Sets the name, normally from argv[0] (directories are dropped).
void setApplicationName(const QString& executablePath);

}  // namespace karvel::ui
