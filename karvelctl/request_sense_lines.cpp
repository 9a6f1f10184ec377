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

std::string hex(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string request_sense_lines(const std::array<uint8_t, SRB_SENSE_AREA_LEN>& sense) {
    const uint8_t errorCode = sense[0] & 0x7F;
    const uint8_t key = sense[2] & 0x0F;
    // Fixed-format sense: ASC and ASCQ exist when the additional length reaches them.
    const bool longReport = sense[7] >= 6;
    const char* keyName = kSenseKeyNames[key];
    const std::string prefix = "mtx: Request Sense: ";
    std::string lines;
    lines += prefix + "Long Report=" + yesNo(longReport) + '\n';
    lines += prefix + "Valid Residual=" + yesNo(sense[0] & 0x80) + '\n';
    lines += prefix + "Error Code=" + hex("%X", errorCode) + (errorCode == 0x70 ? " (Current)" : " (Unknown?!)") + '\n';
    lines += prefix + "Sense Key=" + (keyName ? std::string(keyName) : hex("0x%02x", key)) + '\n';
    lines += prefix + "FileMark=" + yesNo(sense[2] & 0x80) + '\n';
    lines += prefix + "EOM=" + yesNo(sense[2] & 0x40) + '\n';
    lines += prefix + "ILI=" + yesNo(sense[2] & 0x20) + '\n';
    if (longReport) {
        lines += prefix + "Additional Sense Code = " + hex("%02X", sense[12]) + '\n';
        lines += prefix + "Additional Sense Qualifier = " + hex("%02X", sense[13]) + '\n';
        lines += prefix + "BPV=" + yesNo(sense[15] & 0x08) + '\n';
        lines += prefix + "Error in CDB=" + yesNo(sense[15] & 0x40) + '\n';
        lines += prefix + "SKSV=" + yesNo(sense[15] & 0x80) + '\n';
    }
    return lines;
}

}  // namespace karvel::ctl
