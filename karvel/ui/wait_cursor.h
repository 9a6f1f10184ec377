// SPDX-License-Identifier: MIT
// The wait cursor: begin and end calls count, and the normal cursor returns only when the
// count falls back to zero.
#pragma once

namespace karvel::ui {

// Shows the wait cursor (on the first of nested calls).
void beginWaitCursor();

// Undoes one beginWaitCursor; an end without a begin does nothing.
void endWaitCursor();

// Returns how many begins are not yet ended.
int waitCursorDepth();

}  // namespace karvel::ui
