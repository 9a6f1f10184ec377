// SPDX-License-Identifier: MIT
#include "karvelctl.h"
#include "outside_text.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "arguments.h"
#include "exit_codes.h"
#include "karvel_version.h"

namespace karvel::ctl {

namespace {

constexpr const char* kUsageLine = "usage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n";

constexpr const char* kAddressHelp =
    "ADDRESS (-f) names the changer:\n"
    "  H:T:L          ASPI host adapter, target id and LUN, decimal (e.g. 0:4:0)\n"
    "  /dev/sgN       a local SCSI generic device (channel 0)\n"
    "  iscsi://HOST[:PORT]/IQN/LUN\n"
    "                 one LUN of an iSCSI target; CHAP from KARVELCTL_CHAP_USER and\n"
    "                 KARVELCTL_CHAP_PASSWORD, or from wnaspi32.conf's iscsi line\n"
    "  FILE           a file whose first line is one of these (# starts a comment)\n"
    "Without -f: $CHANGER; else the target saved in Karvel's profile if it is a\n"
    "medium changer, else the first medium changer a scan of every adapter finds.\n"
    "mtx's command line works too: several commands in one call, and the modifiers\n"
    "nobarcode, invert, invert2, eepos N, altres and noattach before them.\n";

constexpr const char* kExitHelp =
    "Exit codes:\n"
    "  0  done\n"
    "  1  the changer refused or failed a request, or its state does not allow the\n"
    "     command\n"
    "  2  usage error: unknown command or option, missing or bad argument (a slot or\n"
    "     drive the changer does not have included)\n"
    "  3  no changer: the ASPI layer is not ready, nothing answers at the address, or\n"
    "     none was found\n";

// The commands an mtx command line may chain, and how many numbers each takes.
struct MtxCommand {
    std::string_view name;
    size_t maxNumbers;
};

constexpr MtxCommand kMtxCommands[] = {
    {"status", 0},   {"load", 2},  {"unload", 2}, {"transfer", 2}, {"exchange", 3},
    {"position", 1}, {"first", 1}, {"last", 1},   {"next", 1},     {"previous", 1},
    {"inventory", 0}, {"inquiry", 0}, {"eject", 0},
};

// mtx's modifiers; eepos takes a number.
constexpr std::string_view kMtxModifiers[] = {"nobarcode", "invert", "invert2", "altres", "noattach", "eepos"};

const MtxCommand* findMtxCommand(std::string_view name) {
    for (const MtxCommand& command : kMtxCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

bool isMtxWord(std::string_view word) {
    return findMtxCommand(word) ||
           std::find(std::begin(kMtxModifiers), std::end(kMtxModifiers), word) != std::end(kMtxModifiers);
}

bool startsWithDigit(std::string_view word) {
    return !word.empty() && word[0] >= '0' && word[0] <= '9';
}

// A number as mtx reads it: its leading digits ("1x" is 1).
std::string leadingDigits(const std::string& word) {
    size_t end = 0;
    while (end < word.size() && word[end] >= '0' && word[end] <= '9')
        ++end;
    return word.substr(0, end);
}

struct MtxStep {
    const Command* command;
    std::vector<std::string> numbers;
    MtxSettings settings;  // the modifiers given before it
};

// Splits an mtx command line (commands, their numbers and modifiers) into steps; nothing
// after the message went to err, with exit set. The whole line is checked before anything runs.
std::optional<std::vector<MtxStep>> parseMtxLine(const std::vector<std::string>& words, std::ostream& err, int& exit) {
    std::vector<MtxStep> steps;
    MtxSettings settings;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "nobarcode") {
            settings.noBarcode = true;
        } else if (word == "invert") {
            settings.move.invert = true;
        } else if (word == "invert2") {
            settings.move.invert2 = true;
        } else if (word == "altres" || word == "noattach") {
            // mtx's alternative READ ELEMENT STATUS and its attached-changer switch: karvelctl
            // reads every changer per element type and never uses the attached-changer API.
        } else if (word == "eepos") {
            const std::optional<unsigned> value =
                i + 1 < words.size() ? parseDecimal(words[i + 1], 0, 3) : std::optional<unsigned>{};
            if (!value) {
                err << "eepos equires argument between 0 and 3.\n";
                exit = kExitUsage;
                return std::nullopt;
            }
            settings.move.eepos = static_cast<uint8_t>(*value);
            ++i;
        } else if (const MtxCommand* mtx = findMtxCommand(word)) {
            MtxStep step{findCommand(mtx->name), {}, settings};
            while (i + 1 < words.size() && startsWithDigit(words[i + 1]) && step.numbers.size() < mtx->maxNumbers)
                step.numbers.push_back(leadingDigits(words[++i]));
            steps.push_back(std::move(step));
        } else if (startsWithDigit(word) && !steps.empty()) {
            err << "karvelctl: " << steps.back().command->name << ": too many arguments\nusage: karvelctl [-f ADDRESS] "
                << steps.back().command->usage << '\n';
            exit = kExitUsage;
            return std::nullopt;
        } else {
            err << "karvelctl: unknown command '" << quotePrefix(word) << "'\nTry 'karvelctl --help'.\n";
            exit = kExitUsage;
            return std::nullopt;
        }
    }
    return steps;
}

// Whether the words form an mtx command line: its first word is one of mtx's and no word is an
// option (those, such as status --json or load --help, are karvelctl's own single commands).
bool isMtxLine(const std::string& command, const std::vector<std::string>& words) {
    if (!isMtxWord(command))
        return false;
    return std::none_of(words.begin(), words.end(), [](const std::string& w) { return w.size() > 1 && w[0] == '-'; });
}

}  // namespace

std::string overviewHelp() {
    std::ostringstream text;
    text << kUsageLine << "       karvelctl COMMAND --help\n       karvelctl --version\n\n"
         << "Drives a SCSI medium changer through the ASPI layer, with the mtx command line's\n"
         << "commands and output.\n\n"
         << kAddressHelp << "\nCommands:\n";
    // The summaries start in one column; a usage too long for it puts its summary on the next
    // line, so that every line fits 80 columns.
    constexpr size_t kUsageWidth = 26;
    for (const Command& command : commandTable()) {
        text << "  " << command.usage;
        if (command.usage.size() + 2 > kUsageWidth)
            text << '\n' << std::string(kUsageWidth + 2, ' ');
        else
            text << std::string(kUsageWidth - command.usage.size(), ' ');
        text << command.summary << '\n';
    }
    text << '\n' << kExitHelp;
    return text.str();
}

std::string commandHelp(const Command& command) {
    return "usage: karvelctl [-f ADDRESS] " + std::string(command.usage) + "\n\n" + std::string(command.help);
}

int runKarvelctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
                  ChangerOpener opener) {
    std::string why;
    const std::optional<CommandLine> line = parseCommandLine(args, why);
    if (!line) {
        err << "karvelctl: " << escapeText(why) << '\n' << kUsageLine;
        return kExitUsage;
    }
    if (line->version && !line->help) {
        out << "karvelctl " << karvel::kVersion << '\n' << std::flush;
        return kExitSuccess;
    }
    if (line->command.empty()) {
        if (line->help) {
            out << overviewHelp() << std::flush;
            return kExitSuccess;
        }
        err << "karvelctl: no command given\n" << kUsageLine << "Try 'karvelctl --help'.\n";
        return kExitUsage;
    }
    GlobalOptions global{line->changerAddress};
    if (!global.changerAddress) {
        // mtx's default device.
        const char* changer = std::getenv("CHANGER");
        if (changer && *changer)
            global.changerAddress = changer;
    }
    if (!line->help && isMtxLine(line->command, line->commandArguments)) {
        std::vector<std::string> words{line->command};
        words.insert(words.end(), line->commandArguments.begin(), line->commandArguments.end());
        int exit = kExitSuccess;
        const std::optional<std::vector<MtxStep>> steps = parseMtxLine(words, err, exit);
        if (!steps)
            return exit;
        auto slot = std::make_shared<SessionSlot>(SessionSlot{std::move(opener), nullptr, {}, false});
        for (const MtxStep& step : *steps) {
            CommandContext context(step.numbers, out, err, stdoutIsTerminal, global, slot, step.settings);
            context.command = step.command;
            exit = step.command->run(context);
            if (exit != kExitSuccess)
                return exit;
        }
        return kExitSuccess;
    }
    const Command* command = findCommand(line->command);
    if (!command) {
        err << "karvelctl: unknown command '" << quotePrefix(line->command) << "'\nTry 'karvelctl --help'.\n";
        return kExitUsage;
    }
    const std::vector<std::string>& words = line->commandArguments;
    if (line->help || std::find(words.begin(), words.end(), "--help") != words.end()) {
        out << commandHelp(*command) << std::flush;
        return kExitSuccess;
    }
    CommandContext context(words, out, err, stdoutIsTerminal, global, std::move(opener));
    context.command = command;
    return command->run(context);
}

}  // namespace karvel::ctl
