// SPDX-License-Identifier: MIT
#include "karvelctl.h"

#include <algorithm>
#include <sstream>

#include "arguments.h"
#include "exit_codes.h"

namespace karvel::ctl {

namespace {

constexpr const char* kUsageLine = "usage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n";

constexpr const char* kAddressHelp =
    "ADDRESS (-f) names the changer:\n"
    "  H:T:L          ASPI host adapter, target id and LUN, decimal (e.g. 0:4:0)\n"
    "  /dev/sgN       a local SCSI generic device (channel 0)\n"
    "  iscsi://HOST[:PORT]/IQN/LUN\n"
    "                 one LUN of an iSCSI target; CHAP from KARVELCTL_CHAP_USER and\n"
    "                 KARVELCTL_CHAP_PASSWORD, or from your wnaspi32.conf's iscsi line\n"
    "Without -f: the target saved in Karvel's profile if it is a medium changer, else the\n"
    "first medium changer a scan of every host adapter finds.\n";

constexpr const char* kExitHelp =
    "Exit codes:\n"
    "  0  done\n"
    "  1  the changer refused or failed a request, or its state does not allow the command\n"
    "  2  usage error: unknown command or option, missing or bad argument (a slot or drive\n"
    "     the changer does not have included)\n"
    "  3  no changer: the ASPI layer is not ready, or nothing answers at the address\n";

}  // namespace

std::string overview_help() {
    std::ostringstream text;
    text << kUsageLine << "       karvelctl COMMAND --help\n\n"
         << "Drives a SCSI medium changer through the ASPI layer, with the mtx command line's\n"
         << "commands and output.\n\n"
         << kAddressHelp << "\nCommands:\n";
    size_t width = 0;
    for (const Command& command : command_table())
        width = std::max(width, command.usage.size());
    for (const Command& command : command_table())
        text << "  " << command.usage << std::string(width - command.usage.size() + 2, ' ') << command.summary
             << '\n';
    text << '\n' << kExitHelp;
    return text.str();
}

std::string command_help(const Command& command) {
    return "usage: karvelctl [-f ADDRESS] " + std::string(command.usage) + "\n\n" + std::string(command.help);
}

int run_karvelctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                  ChangerOpener opener) {
    std::string why;
    const std::optional<CommandLine> line = parse_command_line(args, why);
    if (!line) {
        err << "karvelctl: " << why << '\n' << kUsageLine;
        return kExitUsage;
    }
    if (line->command.empty()) {
        if (line->help) {
            out << overview_help() << std::flush;
            return kExitSuccess;
        }
        err << "karvelctl: no command given\n" << kUsageLine << "Try 'karvelctl --help'.\n";
        return kExitUsage;
    }
    const Command* command = find_command(line->command);
    if (!command) {
        err << "karvelctl: unknown command '" << line->command << "'\nTry 'karvelctl --help'.\n";
        return kExitUsage;
    }
    const std::vector<std::string>& words = line->commandArguments;
    if (line->help || std::find(words.begin(), words.end(), "--help") != words.end()) {
        out << command_help(*command) << std::flush;
        return kExitSuccess;
    }
    CommandContext context(words, out, err, stdoutIsTerminal, GlobalOptions{line->changerAddress}, std::move(opener));
    context.command = command;
    return command->run(context);
}

}  // namespace karvel::ctl
