// SPDX-License-Identifier: MIT
// The texts the status panel shows for a status or sense code, as Nevsel gives them.
#pragma once

#include <cstdint>

#include <QString>

#include <karvel/nevsel.h>

namespace karvel::test {

// Returns the text Nevsel gives an additional sense code and qualifier (status panel line 4).
inline QString ascText(uint8_t asc, uint8_t ascq) {
    char text[100];
    GetASC_ASCQ(asc, ascq, text);
    return QString::fromLatin1(text);
}

// Returns the text Nevsel gives an ASPI status (status panel line 1).
inline QString aspiText(uint8_t status) {
    char text[100];
    GetASPIstatus(status, text);
    return QString::fromLatin1(text);
}

}  // namespace karvel::test
