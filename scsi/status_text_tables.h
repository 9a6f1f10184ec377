// SPDX-License-Identifier: MIT
// The library's numbered status texts and, per text function, the table from input
// byte(s) to text number. Data only: the text functions and their tests read it.
#pragma once

#include <cstdint>
#include <iterator>

namespace karvel::status_texts {

struct NumberedText {
    uint8_t number;
    const char* text;
};

// Numbers 1-48 and 51-77; 49 and 50 do not exist.
inline constexpr NumberedText kTexts[] = {
    {1, "No Sense"},
    {2, "Recovered Error"},
    {3, "Not Ready"},
    {4, "Medium Error"},
    {5, "Hardware Error"},
    {6, "Illegal Request"},
    {7, "Unit Attention"},
    {8, "Data Protect"},
    {9, "Blank Check"},
    {10, "Sense Key 9 Undefine Sense"},
    {11, "Copy Aborted"},
    {12, "Aborted Command"},
    {13, "Equal (Search)"},
    {14, "Volume Overflow"},
    {15, "Miscompare (Search)"},
    {16, "Reserved"},
    {17, "SCSI Request is in progress"},
    {18, "SCSI Request Completed"},
    {19, "SCSI ABORTED"},
    {20, "SCSI Error Detected"},
    {21, "Invalid SCSI Request"},
    {22, "Invalid Host Number"},
    {23, "No SCSI Device Detected"},
    {24, "Invalid parameter in SRB"},
    {25, "No resource available to execute SRB"},
    {26, "Buffer size to big to handle"},
    {27, "ASPI: %X Status is undefined"},
    {28, "No Target Status"},
    {29, "Check Condition"},
    {30, "Condition Met"},
    {31, "Specified Target/LUN is Busy"},
    {32, "Intermediate"},
    {33, "Inermediate-condition met"},
    {34, "Reservation Conflict"},
    {35, "Command Terminated"},
    {36, "Queue Full"},
    {37, "SCSI: %X Status undefined"},
    {38, "No Error Detected"},
    {39, "Selection Timeout"},
    {40, "Data Overrun/Underrun"},
    {41, "Unexpected Bus Free"},
    {42, "Target Bus Phase Failure"},
    {43, "HOST: %X Status undefined"},
    {44, "ASC = %X  ASCQ = %X"},
    {45, "No Additional Sense Information"},
    {46, "LUN Not Ready, Initializing Command Required"},
    {47, "LUN Not Ready, Manual Intervention Required"},
    {48, "Mechanical Positioning Error"},
    {51, "Invalid Command Operation Code"},
    {52, "Logical Block Address Out of Range"},
    {53, "Invalid Element Address"},
    {54, "Illegal Exchange Operation"},
    {55, "Invalid Field in CDB"},
    {56, "Logical Unit Not Supported"},
    {57, "Invalid Field in Parameter List"},
    {58, "Import or Export Element Accessed"},
    {59, "Power On, Reset, or Bus Device Reset occurred"},
    {60, "Medium Not Present"},
    {61, "Medium Destination Element Full"},
    {62, "Medium Source Element Empty"},
    {63, "Medium Transport Element Full"},
    {64, "Message Error"},
    {65, "SCSI Parity Error"},
    {66, "Initiator Detected Error Message Recieved"},
    {67, "Inappropriate Message"},
    {68, "Medium Removal Prevented"},
    {69, "Medium Release is Impossible"},
    {70, "Door is Opened"},
    {71, "Door Open"},
    {72, "Magazine/Disc Mounted Incorrectly"},
    {73, "Source Storage Element Overlap"},
    {74, "Invalid Source Storage Element Address"},
    {75, "Check DIP SW and Key Lock"},
    {76, "Non Volatile Info. No Good"},
    {77, " I/F Tray Close is Required"},
};

struct StatusEntry {
    uint8_t status;
    uint8_t number;
};

// A status byte lookup with the format text for every byte it does not list.
struct StatusLookup {
    const StatusEntry* entries;
    unsigned count;
    uint8_t formatNumber;
};

inline constexpr StatusEntry kAspiStatusEntries[] = {
    {0x00, 17}, {0x01, 18}, {0x02, 19}, {0x04, 20}, {0x80, 21},
    {0x81, 22}, {0x82, 23}, {0xE0, 24}, {0xE5, 25}, {0xE6, 26},
};
inline constexpr StatusLookup kAspiStatus{kAspiStatusEntries, std::size(kAspiStatusEntries), 27};

inline constexpr StatusEntry kScsiStatusEntries[] = {
    {0x00, 28}, {0x02, 29}, {0x04, 30}, {0x08, 31}, {0x10, 32},
    {0x14, 33}, {0x18, 34}, {0x22, 35}, {0x28, 36},
};
inline constexpr StatusLookup kScsiStatus{kScsiStatusEntries, std::size(kScsiStatusEntries), 37};

inline constexpr StatusEntry kHostStatusEntries[] = {
    {0x00, 38}, {0x11, 39}, {0x12, 40}, {0x13, 41}, {0x14, 42},
};
inline constexpr StatusLookup kHostStatus{kHostStatusEntries, std::size(kHostStatusEntries), 43};

// Sense keys 0-15 map to texts 1-16; there is no format text.
inline constexpr uint8_t kSenseKeyFirstNumber = 1;
inline constexpr unsigned kSenseKeyCount = 16;

struct SenseCodeEntry {
    uint8_t asc;
    uint8_t ascq;
    uint8_t number;
};

// Searched first row to last; qualifiers of 80h and above are the changer's own conditions.
inline constexpr SenseCodeEntry kSenseCodes[] = {
    {0x00, 0x00, 45}, {0x04, 0x02, 46}, {0x04, 0x03, 47}, {0x15, 0x01, 48},
    {0x20, 0x00, 51}, {0x21, 0x00, 52}, {0x21, 0x01, 53}, {0x21, 0x80, 54},
    {0x24, 0x00, 55}, {0x25, 0x00, 56}, {0x26, 0x00, 57}, {0x28, 0x01, 58},
    {0x29, 0x00, 59}, {0x3A, 0x00, 60}, {0x3B, 0x0D, 61}, {0x3B, 0x0E, 62},
    {0x3B, 0x80, 63}, {0x43, 0x00, 64}, {0x47, 0x00, 65}, {0x48, 0x00, 66},
    {0x49, 0x00, 67}, {0x53, 0x02, 68}, {0x53, 0x80, 69}, {0x53, 0x81, 70},
    {0x53, 0x82, 71}, {0x53, 0x83, 72}, {0x53, 0x84, 73}, {0x53, 0x85, 74},
    {0x53, 0x86, 75}, {0x53, 0x87, 76}, {0x53, 0x88, 77},
};
inline constexpr uint8_t kSenseCodeFormatNumber = 44;

// Returns the text numbered number, or null when the table has no such number.
constexpr const char* textNumbered(unsigned number) {
    for (const auto& entry : kTexts)
        if (entry.number == number) return entry.text;
    return nullptr;
}

}  // namespace karvel::status_texts
