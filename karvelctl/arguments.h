// SPDX-License-Identifier: MIT
// karvelctl's command line: global options, the command, and each command's own words.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karvel::ctl {

struct CommandLine {
    std::optional<std::string> changerAddress;  // -f ADDRESS
    bool help = false;                          // --help or -h before any command
    bool version = false;                       // --version before any command (wins over it)
    std::string command;                        // empty when none was given
    std::vector<std::string> commandArguments;  // the words after the command
};

// Returns the global options and the command in args (without the program name), or nothing
// with the reason in why.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& why);

struct CommandArguments {
    std::vector<std::string> positionals;
    std::vector<std::string> flags;  // as given, e.g. "--json"

    // Returns whether flag was given.
    bool has(std::string_view flag) const;
};

// Returns a command's words split into positionals and flags (words starting with '-' and
// not a number; "--" ends the flags), or nothing with why when a flag is not in allowed or
// there are more than maxPositionals positionals.
std::optional<CommandArguments> parseCommandArguments(const std::vector<std::string>& args,
                                                        std::initializer_list<std::string_view> allowed,
                                                        size_t maxPositionals, std::string& why);

// Returns the decimal number text is when it lies in [minimum, maximum], else nothing.
std::optional<unsigned> parseDecimal(std::string_view text, unsigned minimum, unsigned maximum);

}  // namespace karvel::ctl
