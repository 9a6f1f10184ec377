// SPDX-License-Identifier: MIT
// records: the changer's own records of which slots hold a disc, read or zeroed one 13-byte
// group of 100 slots at a time.
#include <algorithm>
#include <array>
#include <optional>

#include "command_support.h"
#include "exit_codes.h"
#include "changer_model/fullness_records.h"
#include <karvel/nevsel.h>
#include "progress.h"
#include "records_text.h"
#include "vendor_commands.h"

namespace karvel::ctl {

namespace {

std::string groupHeading(const char* command, unsigned group) {
    return std::string(command) + " of Records Group " + std::to_string(group) + " Failed";
}

// Reads every group of slotCount slots into full; returns what failed, if anything.
std::optional<FailedRequest> readRecords(SRBunion& srb, unsigned slotCount, std::vector<bool>& full) {
    full.assign(slotCount, false);
    for (unsigned group = 0; group < model::recordGroupCount(slotCount); ++group) {
        std::array<uint8_t, model::kRecordGroupBytes> data{};
        if (model::readRecordGroup(&srb, static_cast<uint8_t>(group), data) != SS_COMP)
            return failedRequest(groupHeading("READ BUFFER", group), srb);
        for (unsigned offset = 0; offset < model::kSlotsPerRecordGroup; ++offset) {
            const unsigned slot = group * model::kSlotsPerRecordGroup + offset;
            if (slot < slotCount)
                full[slot] = model::recordMarksFull(data, offset);
        }
    }
    return std::nullopt;
}

// Writes a zero group for every group of slotCount slots, stopping at the first that fails.
std::optional<FailedRequest> clearRecords(SRBunion& srb, unsigned slotCount) {
    for (unsigned group = 0; group < model::recordGroupCount(slotCount); ++group)
        if (model::clearRecordGroup(&srb, static_cast<uint8_t>(group)) != SS_COMP)
            return failedRequest(groupHeading("WRITE BUFFER", group), srb);
    return std::nullopt;
}

}  // namespace

int runRecords(CommandContext& context) {
    int exit = kExitSuccess;
    const std::optional<CommandArguments> args = commandArguments(context, {"--clear", "--yes"}, 0, 0, exit);
    if (!args)
        return exit;
    const bool clear = args->has("--clear");
    if (clear && !args->has("--yes"))
        return usageError(context, "--clear zeroes the changer's records of full slots (the discs stay where "
                                    "they are); add --yes to clear them");
    if (!clear && args->has("--yes"))
        return usageError(context, "--yes goes with --clear");

    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    ElementAddressAssignment assignment;
    if (const std::optional<FailedRequest> failed = session->readAssignment(assignment))
        return requestFailure(context, *failed);
    const unsigned slots =
        std::min<unsigned>(assignment.storageCount, model::kRecordGroupLimit * model::kSlotsPerRecordGroup);
    SRBunion& srb = session->requestBlock();

    if (clear) {
        std::optional<FailedRequest> failed;
        {
            Progress progress(context.out, context.stdoutIsTerminal, "Clearing NVRAM");
            failed = clearRecords(srb, slots);
        }
        if (failed)
            return requestFailure(context, *failed);
        const unsigned groups = model::recordGroupCount(slots);
        context.out << "Cleared the records of " << slots << (slots == 1 ? " slot" : " slots") << " (" << groups
                    << (groups == 1 ? " group" : " groups") << ")\n";
        return kExitSuccess;
    }

    std::vector<bool> full;
    if (const std::optional<FailedRequest> failed = readRecords(srb, slots, full))
        return requestFailure(context, *failed);
    context.out << formatRecords(full);
    return kExitSuccess;
}

}  // namespace karvel::ctl
