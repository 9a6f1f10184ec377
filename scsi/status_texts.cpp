// SPDX-License-Identifier: MIT
// The five text functions: look the input up, copy the numbered text into the caller's
// buffer, or write the function's format text with the input in hexadecimal.
#include <cstring>
#include <initializer_list>
#include <stdexcept>

#include "library_export.h"
#include <karvel/nevsel.h>
#include "status_text_tables.h"

namespace {

namespace tables = karvel::status_texts;

const char* textNumbered(unsigned number) {
    const char* text = tables::textNumbered(number);
    if (!text) throw std::logic_error("status text missing from the table");
    return text;
}

// Writes format into out with each "%X" replaced by the next value in upper-case hex,
// no leading zeros. The whole result is built first, so out is written in one piece.
void writeFormatted(const char* format, std::initializer_list<uint8_t> values, char* out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char result[64];
    size_t used = 0;
    const uint8_t* value = values.begin();
    for (const char* p = format; *p; ++p) {
        if (used + 3 > sizeof result) throw std::length_error("status text too long");
        if (p[0] == '%' && p[1] == 'X' && value != values.end()) {
            uint8_t v = *value++;
            if (v >= 0x10) result[used++] = kDigits[v >> 4];
            result[used++] = kDigits[v & 0x0F];
            ++p;
        } else {
            result[used++] = *p;
        }
    }
    result[used++] = '\0';
    std::memcpy(out, result, used);
}

void writeStatusText(const tables::StatusLookup& lookup, uint8_t status, char* out) {
    for (unsigned i = 0; i < lookup.count; ++i) {
        if (lookup.entries[i].status == status) {
            std::strcpy(out, textNumbered(lookup.entries[i].number));
            return;
        }
    }
    writeFormatted(textNumbered(lookup.formatNumber), {status}, out);
}

}  // namespace

KARVEL_EXPORT void GetASPIstatus(uint8_t status, char* text) {
    karvel::guarded([&] { writeStatusText(tables::kAspiStatus, status, text); });
}

KARVEL_EXPORT void GetHOSTstatus(uint8_t status, char* text) {
    karvel::guarded([&] { writeStatusText(tables::kHostStatus, status, text); });
}

KARVEL_EXPORT void GetSCSIstatus(uint8_t status, char* text) {
    karvel::guarded([&] { writeStatusText(tables::kScsiStatus, status, text); });
}

// Only the low four bits count, so a client passing sense byte 2 whole (with its
// Filemark, EOM and ILI bits) still gets the text of its sense key.
KARVEL_EXPORT void GetSenseKey(uint8_t senseKey, char* text) {
    karvel::guarded([&] {
        unsigned key = senseKey % tables::kSenseKeyCount;
        std::strcpy(text, textNumbered(tables::kSenseKeyFirstNumber + key));
    });
}

KARVEL_EXPORT void GetASC_ASCQ(uint8_t asc, uint8_t ascq, char* text) {
    karvel::guarded([&] {
        for (const auto& row : tables::kSenseCodes) {
            if (row.asc == asc && row.ascq == ascq) {
                std::strcpy(text, textNumbered(row.number));
                return;
            }
        }
        writeFormatted(textNumbered(tables::kSenseCodeFormatNumber), {asc, ascq}, text);
    });
}
