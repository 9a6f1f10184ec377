// SPDX-License-Identifier: MIT
// Where the program's private profile lives: $XDG_CONFIG_HOME/<name>.INI (default
// ~/.config/<name>.INI), <name> being the application name. The changer model reads and
// writes it.
#pragma once

#include <QString>

// Returns the profile file of the running program.
QString profilePath();
