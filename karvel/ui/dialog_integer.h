// SPDX-License-Identifier: MIT
// Reading an integer field of a dialog as the platform's data exchange does.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

namespace karvel::ui {

// Returns the value of text when it is a decimal integer with an optional sign and only
// blanks or tabs around it, and fits 32 bits; nothing otherwise.
std::optional<int32_t> parseDialogInteger(const QString& text);

}  // namespace karvel::ui
