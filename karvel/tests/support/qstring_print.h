// SPDX-License-Identifier: MIT
// Lets GoogleTest show a QString in a failure as its text rather than as its bytes.
#pragma once

#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
