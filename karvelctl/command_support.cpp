// SPDX-License-Identifier: MIT
#include "command_support.h"
#include "outside_text.h"

#include "exit_codes.h"
#include "progress.h"

namespace karvel::ctl {

namespace {

// Escapes the outside text in why line by line: a reason may be several lines of its own.
std::string escapeLines(const std::string& why) {
    std::string out;
    for (size_t start = 0;;) {
        const size_t end = why.find('\n', start);
        out += escapeText(std::string_view(why).substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return out;
        out += '\n';
        start = end + 1;
    }
}

}  // namespace

namespace {

std::string commandName(const CommandContext& context) {
    return context.command ? std::string(context.command->name) : std::string("command");
}

}  // namespace

int usageError(CommandContext& context, const std::string& why) {
    context.err << "karvelctl: " << commandName(context) << ": " << escapeLines(why) << '\n';
    if (context.command)
        context.err << "usage: karvelctl [-f ADDRESS] " << context.command->usage << '\n';
    return kExitUsage;
}

int commandFailure(CommandContext& context, const std::string& why) {
    context.err << "karvelctl: " << commandName(context) << ": " << escapeLines(why) << '\n';
    return kExitFailed;
}

int requestFailure(CommandContext& context, const FailedRequest& failure) {
    reportFailure(context.err, failure);
    return kExitFailed;
}

int runShowingProgress(CommandContext& context, const std::string& text,
                         const std::function<std::optional<FailedRequest>()>& request) {
    std::optional<FailedRequest> failed;
    {
        // The progress line is erased before a failure is reported under it.
        Progress progress(context.out, context.stdoutIsTerminal, text);
        failed = request();
    }
    return failed ? requestFailure(context, *failed) : kExitSuccess;
}

std::optional<CommandArguments> commandArguments(CommandContext& context,
                                                  std::initializer_list<std::string_view> allowedFlags,
                                                  size_t minPositionals, size_t maxPositionals, int& exit) {
    std::string why;
    std::optional<CommandArguments> parsed =
        parseCommandArguments(context.arguments, allowedFlags, maxPositionals, why);
    if (parsed && parsed->positionals.size() < minPositionals) {
        why = "missing argument";
        parsed.reset();
    }
    if (!parsed)
        exit = usageError(context, why);
    return parsed;
}

std::optional<ChangerInventory> readChangerInventory(CommandContext& context, ChangerSession*& session,
                                                       int& exit) {
    session = context.changer();
    if (!session) {
        exit = context.openFailureExit();
        return std::nullopt;
    }
    ChangerInventory inventory;
    if (const std::optional<FailedRequest> failed = session->readInventory(inventory)) {
        exit = requestFailure(context, *failed);
        return std::nullopt;
    }
    return inventory;
}

std::optional<unsigned> slotArgument(CommandContext& context, const ChangerInventory& inventory,
                                      const std::string& word, int& exit) {
    const std::optional<unsigned> number = parseDecimal(word, 1, 65535);
    if (number && inventory.slot(*number))
        return number;
    const std::string range = inventory.slotCount() == 0
                                  ? std::string("the changer has no slots")
                                  : "slots are 1 to " + std::to_string(inventory.slotCount());
    exit = usageError(context, "no slot '" + word + "' (" + range + ")");
    return std::nullopt;
}

std::optional<unsigned> driveArgument(CommandContext& context, const ChangerInventory& inventory,
                                       const std::string& word, int& exit) {
    const std::optional<unsigned> number = parseDecimal(word, 0, 65535);
    if (number && inventory.drive(*number))
        return number;
    const std::string range = inventory.drives.empty()
                                  ? std::string("the changer has no drives")
                                  : "drives are 0 to " + std::to_string(inventory.drives.size() - 1);
    exit = usageError(context, "no drive '" + word + "' (" + range + ")");
    return std::nullopt;
}

uint16_t movingTransport(const ChangerInventory& inventory) {
    return inventory.assignment.transportCount > 0 ? inventory.assignment.firstTransport : 0;
}

std::string slotName(const ChangerInventory& inventory, unsigned number) {
    return "Storage Element " + std::to_string(number) + (number > inventory.storage.size() ? " IMPORT/EXPORT" : "");
}

}  // namespace karvel::ctl
