// SPDX-License-Identifier: MIT
#include "ui/dialog_integer.h"

namespace karvel::ui {

std::optional<int32_t> parseDialogInteger(const QString& text) {
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && blank(text[i]))
        ++i;
    while (end > i && blank(text[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == end)
        return std::nullopt;
    int64_t value = 0;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace karvel::ui
