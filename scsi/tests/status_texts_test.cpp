// SPDX-License-Identifier: MIT
// Every row of the five text tables and their format texts, as the operator reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

#include <karvel/nevsel.h>
#include "status_text_tables.h"

namespace karvel::test {
namespace {

struct TextCase {
    uint8_t input;
    const char* text;
};

struct SenseCodeCase {
    uint8_t asc, ascq;
    const char* text;
};

// A buffer with leftovers, so a result must replace it from its first byte and end with NUL.
struct TextBuffer {
    TextBuffer() { std::memset(bytes, '#', sizeof bytes); }
    std::string text() const {
        const void* nul = std::memchr(bytes, '\0', sizeof bytes);
        return nul ? std::string(bytes, static_cast<const char*>(nul)) : "<no NUL>";
    }
    char bytes[64];
};

template <typename Function>
void expectTexts(Function function, std::initializer_list<TextCase> cases) {
    for (const auto& c : cases) {
        TextBuffer buffer;
        function(c.input, buffer.bytes);
        EXPECT_EQ(buffer.text(), c.text) << "input " << int{c.input};
    }
}

TEST(GetASPIstatus, ListedStatusesAndTheFormat) {
    expectTexts(GetASPIstatus, {
        {0x00, "SCSI Request is in progress"},
        {0x01, "SCSI Request Completed"},
        {0x02, "SCSI ABORTED"},
        {0x04, "SCSI Error Detected"},
        {0x80, "Invalid SCSI Request"},
        {0x81, "Invalid Host Number"},
        {0x82, "No SCSI Device Detected"},
        {0xE0, "Invalid parameter in SRB"},
        {0xE5, "No resource available to execute SRB"},
        {0xE6, "Buffer size to big to handle"},
        {0x03, "ASPI: 3 Status is undefined"},
        {0x10, "ASPI: 10 Status is undefined"},
        {0xE4, "ASPI: E4 Status is undefined"},
        {0xFF, "ASPI: FF Status is undefined"},
    });
}

TEST(GetSCSIstatus, ListedStatusesAndTheFormat) {
    expectTexts(GetSCSIstatus, {
        {0x00, "No Target Status"},
        {0x02, "Check Condition"},
        {0x04, "Condition Met"},
        {0x08, "Specified Target/LUN is Busy"},
        {0x10, "Intermediate"},
        {0x14, "Inermediate-condition met"},
        {0x18, "Reservation Conflict"},
        {0x22, "Command Terminated"},
        {0x28, "Queue Full"},
        {0x01, "SCSI: 1 Status undefined"},
        {0x30, "SCSI: 30 Status undefined"},
        {0xFF, "SCSI: FF Status undefined"},
    });
}

TEST(GetHOSTstatus, ListedStatusesAndTheFormat) {
    expectTexts(GetHOSTstatus, {
        {0x00, "No Error Detected"},
        {0x11, "Selection Timeout"},
        {0x12, "Data Overrun/Underrun"},
        {0x13, "Unexpected Bus Free"},
        {0x14, "Target Bus Phase Failure"},
        {0x09, "HOST: 9 Status undefined"},
        {0x15, "HOST: 15 Status undefined"},
        {0xAB, "HOST: AB Status undefined"},
    });
}

TEST(GetSenseKey, AllSixteenKeysAndOnlyTheLowFourBitsAbove) {
    expectTexts(GetSenseKey, {
        {0x0, "No Sense"},
        {0x1, "Recovered Error"},
        {0x2, "Not Ready"},
        {0x3, "Medium Error"},
        {0x4, "Hardware Error"},
        {0x5, "Illegal Request"},
        {0x6, "Unit Attention"},
        {0x7, "Data Protect"},
        {0x8, "Blank Check"},
        {0x9, "Sense Key 9 Undefine Sense"},
        {0xA, "Copy Aborted"},
        {0xB, "Aborted Command"},
        {0xC, "Equal (Search)"},
        {0xD, "Volume Overflow"},
        {0xE, "Miscompare (Search)"},
        {0xF, "Reserved"},
        // Sense byte 2 passed whole: Filemark, EOM and ILI in the high bits.
        {0x10, "No Sense"},
        {0x25, "Illegal Request"},
        {0x86, "Unit Attention"},
        {0xFF, "Reserved"},
    });
}

TEST(GetASC_ASCQ, EveryRowAndTheFormat) {
    const SenseCodeCase cases[] = {
        {0x00, 0x00, "No Additional Sense Information"},
        {0x04, 0x02, "LUN Not Ready, Initializing Command Required"},
        {0x04, 0x03, "LUN Not Ready, Manual Intervention Required"},
        {0x15, 0x01, "Mechanical Positioning Error"},
        {0x20, 0x00, "Invalid Command Operation Code"},
        {0x21, 0x00, "Logical Block Address Out of Range"},
        {0x21, 0x01, "Invalid Element Address"},
        {0x21, 0x80, "Illegal Exchange Operation"},
        {0x24, 0x00, "Invalid Field in CDB"},
        {0x25, 0x00, "Logical Unit Not Supported"},
        {0x26, 0x00, "Invalid Field in Parameter List"},
        {0x28, 0x01, "Import or Export Element Accessed"},
        {0x29, 0x00, "Power On, Reset, or Bus Device Reset occurred"},
        {0x3A, 0x00, "Medium Not Present"},
        {0x3B, 0x0D, "Medium Destination Element Full"},
        {0x3B, 0x0E, "Medium Source Element Empty"},
        {0x3B, 0x80, "Medium Transport Element Full"},
        {0x43, 0x00, "Message Error"},
        {0x47, 0x00, "SCSI Parity Error"},
        {0x48, 0x00, "Initiator Detected Error Message Recieved"},
        {0x49, 0x00, "Inappropriate Message"},
        {0x53, 0x02, "Medium Removal Prevented"},
        {0x53, 0x80, "Medium Release is Impossible"},
        {0x53, 0x81, "Door is Opened"},
        {0x53, 0x82, "Door Open"},
        {0x53, 0x83, "Magazine/Disc Mounted Incorrectly"},
        {0x53, 0x84, "Source Storage Element Overlap"},
        {0x53, 0x85, "Invalid Source Storage Element Address"},
        {0x53, 0x86, "Check DIP SW and Key Lock"},
        {0x53, 0x87, "Non Volatile Info. No Good"},
        {0x53, 0x88, " I/F Tray Close is Required"},
        // Not listed: code first, qualifier second, upper-case hex without leading zeros.
        {0x04, 0x01, "ASC = 4  ASCQ = 1"},
        {0x0A, 0x0B, "ASC = A  ASCQ = B"},
        {0x00, 0x80, "ASC = 0  ASCQ = 80"},
        {0x3B, 0x00, "ASC = 3B  ASCQ = 0"},
        {0xFF, 0xFF, "ASC = FF  ASCQ = FF"},
    };
    for (const auto& c : cases) {
        TextBuffer buffer;
        GetASC_ASCQ(c.asc, c.ascq, buffer.bytes);
        EXPECT_EQ(buffer.text(), c.text) << int{c.asc} << "/" << int{c.ascq};
    }
}

// The tables hold together: every number they name exists, 49 and 50 do not, no text
// outgrows the 46 bytes a caller provides, and no sense code pair is listed twice.
TEST(StatusTextTables, AreConsistent) {
    namespace tables = karvel::status_texts;
    std::set<unsigned> numbers;
    for (const auto& entry : tables::kTexts) {
        EXPECT_TRUE(numbers.insert(entry.number).second) << entry.number;
        EXPECT_LT(std::strlen(entry.text), 46u) << entry.number;
    }
    EXPECT_EQ(numbers.count(49), 0u);
    EXPECT_EQ(numbers.count(50), 0u);
    for (const auto* lookup : {&tables::kAspiStatus, &tables::kScsiStatus, &tables::kHostStatus}) {
        for (unsigned i = 0; i < lookup->count; ++i) EXPECT_TRUE(numbers.count(lookup->entries[i].number));
        EXPECT_TRUE(numbers.count(lookup->formatNumber));
    }
    std::set<std::pair<uint8_t, uint8_t>> pairs;
    for (const auto& row : tables::kSenseCodes) {
        EXPECT_TRUE(numbers.count(row.number)) << int{row.number};
        EXPECT_TRUE(pairs.insert({row.asc, row.ascq}).second) << int{row.asc} << "/" << int{row.ascq};
    }
    for (unsigned key = 0; key < tables::kSenseKeyCount; ++key)
        EXPECT_TRUE(numbers.count(tables::kSenseKeyFirstNumber + key));
}

}  // namespace
}  // namespace karvel::test
