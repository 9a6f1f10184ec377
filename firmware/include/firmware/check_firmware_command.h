// SPDX-License-Identifier: MIT
// The `--check-firmware` command with its streams passed in, so it runs in-process in tests.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace karvel::firmware {

inline constexpr std::string_view kCheckFirmwareUsage =
    "usage: karvel --check-firmware FILE [--image OUT]";

// How the command names itself in its messages, so karvelctl's `firmware check` can run it too.
struct CheckFirmwareWording {
    std::string_view prefix = "karvel: ";  // ahead of every message on err
    std::string_view usage = kCheckFirmwareUsage;
};

// Runs the command on the arguments after "--check-firmware": loads FILE with the loader its
// extension selects and, when it loads, writes the image to OUT if given. Reports on out
// (success) or err (one line). Returns 0 loaded, 1 not loaded or OUT not written, 2 usage.
int RunCheckFirmware(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                     const CheckFirmwareWording& wording = {});

}  // namespace karvel::firmware
