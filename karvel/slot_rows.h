// SPDX-License-Identifier: MIT
// How the commands turn a selected row into an element address and rewrite one slot row.
#pragma once

#include <cstdint>

#include <QString>

#include "ui/list_box.h"

// Returns the address of row of a list whose element type starts at first (cut to 16 bits).
inline uint16_t elementAddress(int row, uint16_t first) {
    return static_cast<uint16_t>(row + first);
}

// Replaces row of the slot list with text, keeping the list's length: the new text goes in at
// row and the old row, pushed down by one, is deleted.
inline void replaceSlotRow(karvel::ui::ListBox& list, int row, const QString& text) {
    list.insertString(row, text);
    list.deleteString(row + 1);
}
