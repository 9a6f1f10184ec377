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
int runKarvelctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                  ChangerOpener opener = CommandContext::openChangerSessionFor);

// Returns the text of `karvelctl --help`.
std::string overviewHelp();
// Returns the text of `karvelctl COMMAND --help`.
std::string commandHelp(const Command& command);

}  // namespace karvel::ctl
