// SPDX-License-Identifier: MIT
#include "request_sense_lines.h"

#include <cstdio>

namespace karvel::ctl {

namespace {

// mtx's names of the sense keys; a key without a name is written as 0x0N.
constexpr const char* kSenseKeyNames[16] = {
    "No Sense",    "Recovered Error", "Not Ready",       "Medium Error", "Hardware Error", "Illegal Request",
    "Unit Attention", "Data Protect",  "Blank Check",     nullptr,        nullptr,          "Aborted Command",
    nullptr,       "Volume Overflow", "Miscompare",      nullptr,
};

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

// Upper-case hex digits, at least minDigits of them.
std::string hex(unsigned value, int minDigits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", minDigits, value);
    return text;
}

// A sense key without a name, as mtx writes it.
std::string unnamedKey(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

}  // namespace

std::string requestSenseLines(const std::array<uint8_t, SRB_SENSE_AREA_LEN>& sense) {
    const uint8_t errorCode = sense[0] & 0x7F;
    const uint8_t key = sense[2] & 0x0F;
    // Fixed-format sense: ASC and ASCQ exist when the additional length reaches them.
    const bool longReport = sense[7] >= 6;
    const char* keyName = kSenseKeyNames[key];
    const std::string prefix = "mtx: Request Sense: ";
    std::string lines;
    lines += prefix + "Long Report=" + yesNo(longReport) + '\n';
    lines += prefix + "Valid Residual=" + yesNo(sense[0] & 0x80) + '\n';
    lines += prefix + "Error Code=" + hex(errorCode, 1) + (errorCode == 0x70 ? " (Current)" : " (Unknown?!)") + '\n';
    lines += prefix + "Sense Key=" + (keyName ? std::string(keyName) : unnamedKey(key)) + '\n';
    lines += prefix + "FileMark=" + yesNo(sense[2] & 0x80) + '\n';
    lines += prefix + "EOM=" + yesNo(sense[2] & 0x40) + '\n';
    lines += prefix + "ILI=" + yesNo(sense[2] & 0x20) + '\n';
    if (longReport) {
        lines += prefix + "Additional Sense Code = " + hex(sense[12], 2) + '\n';
        lines += prefix + "Additional Sense Qualifier = " + hex(sense[13], 2) + '\n';
        lines += prefix + "BPV=" + yesNo(sense[15] & 0x08) + '\n';
        lines += prefix + "Error in CDB=" + yesNo(sense[15] & 0x40) + '\n';
        lines += prefix + "SKSV=" + yesNo(sense[15] & 0x80) + '\n';
    }
    return lines;
}

}  // namespace karvel::ctl
