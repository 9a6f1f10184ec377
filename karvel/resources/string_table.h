// SPDX-License-Identifier: MIT
// The program's numbered string table.
#pragma once

#include <initializer_list>

#include <QString>

namespace karvel::res {

// Returns string id, or an empty string when the table has none.
QString loadString(int id);

// Replaces string id (an empty text removes it) until restoreStrings(); lets tests run the
// program with a different table.
void overrideString(int id, const QString& text);
void restoreStrings();

// Returns format with each %d, %ld or %u replaced by the next number, as the platform's
// formatting does for the program's templates.
QString formatString(const QString& format, std::initializer_list<long long> numbers);

}  // namespace karvel::res
