// SPDX-License-Identifier: MIT
// Dialog templates as data: the window of a numbered dialog and its controls, in template
// order, with rectangles in dialog units. The templates themselves live in resources/.
#pragma once

#include <span>

#include <QRect>

namespace karvel::ui {

inline constexpr int kNoControlId = -1;  // labels and frames that no code addresses
inline constexpr int kIdOk = 1;          // the OK button, and the result of closing with it
inline constexpr int kIdCancel = 2;      // the Cancel button, Escape, closing the window

enum class ControlKind {
    pushButton,
    defaultPushButton,
    listBox,        // unsorted, vertical scroll bar, border, reports double-clicks
    comboBox,       // unsorted drop-down list without an edit field
    staticText,     // left-aligned, wraps
    staticRight,    // right-aligned
    staticCentre,   // centred
    groupBox,
    editBox,
    iconImage,      // shows the icon whose number is in text
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, width, height;
};

enum WindowStyle : unsigned {
    kCaption = 1u << 0,      // has a title bar
    kSystemMenu = 1u << 1,   // carries a system menu
    kMinimizeBox = 1u << 2,
};

struct DialogTemplate {
    int id;
    const char* title;  // UTF-8; empty for none
    unsigned style;     // WindowStyle bits
    int x, y, width, height;
    std::span<const ControlTemplate> controls;
};

// Returns the template numbered id, or null when the program has none.
const DialogTemplate* findDialogTemplate(int id);

}  // namespace karvel::ui
