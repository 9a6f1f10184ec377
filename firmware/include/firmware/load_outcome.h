// SPDX-License-Identifier: MIT
// How a firmware load ended, with enough detail for `--check-firmware` to say why it failed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "firmware/line_result.h"

namespace karvel::firmware {

enum class LoadFault : uint8_t {
    none,
    notARecord,
    checksumError,
    unsupportedType,
    shorterThanCount,
    outsideImage,
    emptyFile,
    longerThanImage,
    unknownExtension,
    cannotOpen,
    cannotRead,
};

struct LoadOutcome {
    LoadFault fault = LoadFault::none;
    int32_t line = 0;          // the line that failed (text loads), 0 when no line is to blame
    std::string systemReason;  // the system's text for cannotOpen and cannotRead

    bool ok() const { return fault == LoadFault::none; }
};

struct LoadFaultText {
    LoadFault fault;
    std::string_view text;
};

// The reason texts, one per fault; read by Describe and by the tests.
std::span<const LoadFaultText> LoadFaultTexts();

// Returns the fault that a line result stands for (none for accepted).
LoadFault FaultOfLine(LineResult result);

// Returns one line for the operator: "line 3: checksum error", "empty file",
// "cannot open: No such file or directory"; "loaded" when there is no fault.
std::string Describe(const LoadOutcome& outcome);

}  // namespace karvel::firmware
