// SPDX-License-Identifier: MIT
// The commands that move discs or make the changer work, as the mtx command line does them:
// load, unload, transfer, exchange, position, inventory, eject, and first/last/next/previous.
#include "changer_commands.h"
#include "command_support.h"
#include "exit_codes.h"
#include "progress.h"

namespace karvel::ctl {

namespace {

std::string driveName(unsigned number) {
    return "Data Transfer Element " + std::to_string(number);
}

// The first words of a command that works on the changer's elements, read and checked.
struct Prepared {
    ChangerSession* session = nullptr;
    ChangerInventory inventory;
    CommandArguments args;
};

std::optional<Prepared> prepare(CommandContext& context, size_t minPositionals, size_t maxPositionals, int& exit) {
    std::optional<CommandArguments> args = commandArguments(context, {}, minPositionals, maxPositionals, exit);
    if (!args)
        return std::nullopt;
    Prepared prepared;
    std::optional<ChangerInventory> inventory = readChangerInventory(context, prepared.session, exit);
    if (!inventory)
        return std::nullopt;
    prepared.inventory = std::move(*inventory);
    prepared.args = std::move(*args);
    return prepared;
}

// Returns the slot a drive's disc came from, or nothing when the changer does not say or it
// names no slot.
std::optional<unsigned> sourceSlot(const ChangerInventory& inventory, const Element& drive) {
    if (!drive.sourceValid)
        return std::nullopt;
    return inventory.slotNumberOf(drive.source);
}

// Writes mtx's message of a state that does not allow the move (no "karvelctl:" prefix, as
// scripts match mtx's words); returns kExitFailed.
int stateRefusal(CommandContext& context, const std::string& message) {
    context.err << message << '\n';
    return kExitFailed;
}

// Runs one MOVE MEDIUM. With announcement, mtx's "Loading media ..." words go to stdout: before
// the request and followed by "done" when it succeeds (on a terminal the progress line is
// shown meanwhile and the words come after it, so the bytes written are the same).
int moveBetween(CommandContext& context, Prepared& p, const std::string& progressText, const std::string& announcement,
                uint16_t source, uint16_t destination) {
    const uint16_t transport = movingTransport(p.inventory);
    const bool announce = !announcement.empty();
    if (announce && !context.stdoutIsTerminal)
        context.out << announcement << std::flush;
    std::optional<FailedRequest> failed;
    {
        Progress progress(context.out, context.stdoutIsTerminal, progressText);
        failed = p.session->move(transport, source, destination, context.settings.move);
    }
    if (announce && context.stdoutIsTerminal)
        context.out << announcement;
    if (announce && !failed)
        context.out << "done\n";
    context.out << std::flush;
    return failed ? requestFailure(context, *failed) : kExitSuccess;
}

std::string loadingText(unsigned slot, unsigned drive) {
    return "Loading media from Storage Element " + std::to_string(slot) + " into drive " + std::to_string(drive) +
           "...";
}

std::string unloadingText(unsigned drive, unsigned slot) {
    return "Unloading drive " + std::to_string(drive) + " into Storage Element " + std::to_string(slot) + "...";
}

int loadSlot(CommandContext& context, Prepared& p, unsigned slot, unsigned drive) {
    return moveBetween(context, p, "Loading " + slotName(p.inventory, slot) + " into " + driveName(drive),
                       loadingText(slot, drive), p.inventory.slot(slot)->address, p.inventory.drive(drive)->address);
}

// Returns the slot a full drive's disc goes back to: its source when that is empty, else the
// first empty storage slot (as mtx does); nothing when every slot is full.
std::optional<unsigned> unloadTarget(const ChangerInventory& inventory, const Element& drive) {
    const std::optional<unsigned> source = sourceSlot(inventory, drive);
    if (source && !inventory.slot(*source)->full)
        return source;
    for (unsigned s = 1; s <= inventory.storage.size(); ++s)
        if (!inventory.storage[s - 1].full)
            return s;
    return std::nullopt;
}

int unloadInto(CommandContext& context, Prepared& p, unsigned drive, unsigned slot) {
    const int exit = moveBetween(context, p, "Unloading " + driveName(drive) + " into " + slotName(p.inventory, slot),
                                 unloadingText(drive, slot), p.inventory.drive(drive)->address,
                                 p.inventory.slot(slot)->address);
    if (exit == kExitSuccess) {
        // The inventory now says what the changer holds after the move.
        Element* to = slot <= p.inventory.storage.size() ? &p.inventory.storage[slot - 1]
                                                         : &p.inventory.ports[slot - 1 - p.inventory.storage.size()];
        to->full = true;
        p.inventory.drives[drive].full = false;
    }
    return exit;
}

// Unloads a full drive where mtx would put its disc; returns the slot, or nothing with exit set.
std::optional<unsigned> unloadForSequence(CommandContext& context, Prepared& p, unsigned drive, int& exit) {
    const std::optional<unsigned> slot = unloadTarget(p.inventory, p.inventory.drives[drive]);
    if (!slot) {
        exit = stateRefusal(context, "No empty Storage Element for the media in drive " + std::to_string(drive));
        return std::nullopt;
    }
    exit = unloadInto(context, p, drive, *slot);
    if (exit != kExitSuccess)
        return std::nullopt;
    return slot;
}

// Which storage slot first/last/next/previous load.
enum class Pick { first, last, next, previous };

int runSequence(CommandContext& context, Pick pick) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 0, 1, exit);
    if (!p)
        return exit;
    unsigned driveNumber = 0;
    if (!p->args.positionals.empty()) {
        const std::optional<unsigned> drive = driveArgument(context, p->inventory, p->args.positionals[0], exit);
        if (!drive)
            return exit;
        driveNumber = *drive;
    } else if (p->inventory.drives.empty()) {
        return usageError(context, "the changer has no drives");
    }
    const unsigned storageCount = static_cast<unsigned>(p->inventory.storage.size());
    if (storageCount == 0)
        return usageError(context, "the changer has no storage slots");

    // Where the search starts: after (before) the slot the drive's disc went back to, or
    // from the end when the drive was empty.
    std::optional<unsigned> unloadedInto;
    if (p->inventory.drives[driveNumber].full) {
        unloadedInto = unloadForSequence(context, *p, driveNumber, exit);
        if (!unloadedInto)
            return exit;
    }
    std::optional<unsigned> chosen;
    const auto full = [&](unsigned s) { return p->inventory.storage[s - 1].full; };
    switch (pick) {
    case Pick::first: chosen = 1; break;  // mtx loads these slots whether they are full or not
    case Pick::last: chosen = storageCount; break;
    case Pick::next:
        for (unsigned s = unloadedInto ? *unloadedInto + 1 : 1; s <= storageCount && !chosen; ++s)
            if (full(s)) chosen = s;
        break;
    case Pick::previous:
        for (unsigned s = unloadedInto ? std::min(*unloadedInto, storageCount + 1) - 1 : storageCount; s >= 1 && !chosen;
             --s)
            if (full(s)) chosen = s;
        break;
    }
    if (!chosen)
        return stateRefusal(context, "No More Media");
    return loadSlot(context, *p, *chosen, driveNumber);
}

}  // namespace

int runLoad(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 1, 2, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> slot = slotArgument(context, p->inventory, p->args.positionals[0], exit);
    if (!slot)
        return exit;
    const std::optional<unsigned> drive =
        driveArgument(context, p->inventory, p->args.positionals.size() > 1 ? p->args.positionals[1] : "0", exit);
    if (!drive)
        return exit;
    const Element& element = *p->inventory.drive(*drive);
    if (element.full) {
        const std::optional<unsigned> source = sourceSlot(p->inventory, element);
        return stateRefusal(context, "Drive " + std::to_string(*drive) + " Full (" +
                                         (source ? "Storage Element " + std::to_string(*source)
                                                 : std::string("Unknown Storage Element")) +
                                         " loaded)");
    }
    return loadSlot(context, *p, *slot, *drive);
}

int runUnload(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 0, 2, exit);
    if (!p)
        return exit;
    const std::vector<std::string>& words = p->args.positionals;
    const std::optional<unsigned> drive =
        driveArgument(context, p->inventory, words.size() > 1 ? words[1] : "0", exit);
    if (!drive)
        return exit;
    const Element& element = *p->inventory.drive(*drive);
    std::optional<unsigned> slot;
    if (!words.empty()) {
        slot = slotArgument(context, p->inventory, words[0], exit);
        if (!slot)
            return exit;
    }
    if (!element.full)
        return stateRefusal(context, driveName(*drive) + " is Empty");
    if (slot && p->inventory.slot(*slot)->full)
        return stateRefusal(context, "Storage Element " + std::to_string(*slot) + " is Already Full");
    if (!slot) {
        slot = unloadTarget(p->inventory, element);
        if (!slot)
            return stateRefusal(context, "No empty Storage Element for the media in drive " + std::to_string(*drive));
    }
    return unloadInto(context, *p, *drive, *slot);
}

int runTransfer(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 2, 2, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> from = slotArgument(context, p->inventory, p->args.positionals[0], exit);
    if (!from)
        return exit;
    const std::optional<unsigned> to = slotArgument(context, p->inventory, p->args.positionals[1], exit);
    if (!to)
        return exit;
    return moveBetween(context, *p,
                       "Moving " + slotName(p->inventory, *from) + " to " + slotName(p->inventory, *to), "",
                       p->inventory.slot(*from)->address, p->inventory.slot(*to)->address);
}

int runExchange(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 2, 3, exit);
    if (!p)
        return exit;
    unsigned slots[3] = {};
    const std::vector<std::string>& words = p->args.positionals;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::optional<unsigned> slot = slotArgument(context, p->inventory, words[i], exit);
        if (!slot)
            return exit;
        slots[i] = *slot;
    }
    if (words.size() == 2)
        slots[2] = slots[0];  // a swap: the second disc goes where the first came from
    const uint16_t transport = movingTransport(p->inventory);
    const uint16_t source = p->inventory.slot(slots[0])->address;
    const uint16_t first = p->inventory.slot(slots[1])->address;
    const uint16_t second = p->inventory.slot(slots[2])->address;
    return runShowingProgress(context,
                                "Exchanging " + slotName(p->inventory, slots[0]) + " and " +
                                    slotName(p->inventory, slots[1]),
                                [&] { return p->session->exchange(transport, source, first, second, context.settings.move); });
}

int runPosition(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 1, 1, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> slot = slotArgument(context, p->inventory, p->args.positionals[0], exit);
    if (!slot)
        return exit;
    const uint16_t transport = movingTransport(p->inventory);
    const uint16_t destination = p->inventory.slot(*slot)->address;
    return runShowingProgress(context, "Positioning at " + slotName(p->inventory, *slot),
                                [&] { return p->session->position(transport, destination); });
}

int runInventory(CommandContext& context) {
    int exit = kExitSuccess;
    if (!commandArguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    return runShowingProgress(context, "Taking inventory", [&] {
        std::optional<FailedRequest> failed = session->initializeElementStatus();
        if (failed) {
            // mtx's words; the vendor command initialize keeps its own heading.
            failed->heading = "Initialize Element Status (0x07) failed";
            failed->trailer = "mtx:inventory failed";
        }
        return failed;
    });
}

int runEject(CommandContext& context) {
    int exit = kExitSuccess;
    if (!commandArguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    return runShowingProgress(context, "Ejecting", [&] { return session->eject(); });
}

int runFirst(CommandContext& context) {
    return runSequence(context, Pick::first);
}

int runLast(CommandContext& context) {
    return runSequence(context, Pick::last);
}

int runNext(CommandContext& context) {
    return runSequence(context, Pick::next);
}

int runPrevious(CommandContext& context) {
    return runSequence(context, Pick::previous);
}

}  // namespace karvel::ctl
