// SPDX-License-Identifier: MIT
// The exit codes of karvelctl, documented in README.md.
#pragma once

namespace karvel::ctl {

inline constexpr int kExitSuccess = 0;
// The changer refused or failed a request, or its state does not allow the command.
inline constexpr int kExitFailed = 1;
// The command line is wrong: unknown command or option, missing or bad argument.
inline constexpr int kExitUsage = 2;
// No changer could be reached: the ASPI layer is not ready or nothing answers at the address.
inline constexpr int kExitNoChanger = 3;

}  // namespace karvel::ctl
