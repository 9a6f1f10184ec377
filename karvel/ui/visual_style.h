// SPDX-License-Identifier: MIT
// The three-dimensional look of dialog controls.
#pragma once

namespace karvel::ui {

// Gives every control the raised, bevelled look (the Fusion style), the same on any desktop.
void enable3dControls();

}  // namespace karvel::ui
