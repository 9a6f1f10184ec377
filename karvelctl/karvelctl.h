// SPDX-License-Identifier: MIT
// karvelctl's whole run: the command line in, the exit code out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "command_table.h"

namespace karvel::ctl {

// Runs the command line args (without the program name) writing to out and err; returns the
// exit code (exit_codes.h).
int run_karvelctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                  ChangerOpener opener = CommandContext::open_changer_session_for);

// Returns the text of `karvelctl --help`.
std::string overview_help();
// Returns the text of `karvelctl COMMAND --help`.
std::string command_help(const Command& command);

}  // namespace karvel::ctl
