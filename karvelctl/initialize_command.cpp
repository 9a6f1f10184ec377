// SPDX-License-Identifier: MIT
// initialize: the changer takes a new inventory, over every element or over a range of element
// addresses given in the vendor mode page 20h.
#include <array>
#include <optional>
#include <utility>

#include "command_support.h"
#include "changer_model/initialize_range_page.h"
#include "exit_codes.h"
#include <karvel/nevsel.h>
#include "vendor_commands.h"

namespace karvel::ctl {

namespace {

constexpr uint8_t kPageFormat = 1;
constexpr uint8_t kSavePages = 0;

// Returns the element address word gives, or nothing after a usage error (exit set).
std::optional<uint16_t> elementAddress(CommandContext& context, const char* name, const std::string& word, int& exit) {
    if (const std::optional<unsigned> value = parseDecimal(word, 0, 0xFFFF))
        return static_cast<uint16_t>(*value);
    exit = usageError(context, std::string(name) + " '" + word + "' is not an element address from 0 to 65535");
    return std::nullopt;
}

}  // namespace

int runInitialize(CommandContext& context) {
    int exit = kExitSuccess;
    const std::optional<CommandArguments> args = commandArguments(context, {}, 0, 2, exit);
    if (!args)
        return exit;
    std::optional<std::pair<uint16_t, uint16_t>> range;
    if (args->positionals.size() == 1)
        return usageError(context, "give both START and STOP, or neither");
    if (args->positionals.size() == 2) {
        const std::optional<uint16_t> start = elementAddress(context, "START", args->positionals[0], exit);
        if (!start)
            return exit;
        const std::optional<uint16_t> stop = elementAddress(context, "STOP", args->positionals[1], exit);
        if (!stop)
            return exit;
        range.emplace(*start, *stop);  // not compared: the changer refuses a range it cannot do
    }

    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    return runShowingProgress(context, "Initializing Changer", [&]() -> std::optional<FailedRequest> {
        if (range) {
            std::array<uint8_t, model::kInitializeRangeListLength> page =
                model::initializeRangeList(range->first, range->second);
            if (ModeSelect6(&session->requestBlock(), kPageFormat, kSavePages, model::kInitializeRangeListLength,
                            page.data()) != SS_COMP)
                return failedRequest("MODE SELECT of Page 20h (Element Addresses " + std::to_string(range->first) +
                                          " to " + std::to_string(range->second) + ") Failed",
                                      session->requestBlock());
        }
        return session->initializeElementStatus();
    });
}

}  // namespace karvel::ctl
