// SPDX-License-Identifier: MIT
// karvelctl's commands as data: every command with the function that runs it.
#pragma once

#include <span>
#include <string_view>

#include "command_context.h"

namespace karvel::ctl {

// Returns every command, in the order --help lists them.
std::span<const Command> commandTable();
// Returns the command called name, or null.
const Command* findCommand(std::string_view name);

}  // namespace karvel::ctl
