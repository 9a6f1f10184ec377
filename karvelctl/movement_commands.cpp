// SPDX-License-Identifier: MIT
// The commands that move discs or make the changer work: load, unload, transfer, exchange,
// position, inventory, and first/last/next/previous.
#include "changer_commands.h"
#include "command_support.h"
#include "exit_codes.h"

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
    std::optional<CommandArguments> args = command_arguments(context, {}, minPositionals, maxPositionals, exit);
    if (!args)
        return std::nullopt;
    Prepared prepared;
    std::optional<ChangerInventory> inventory = read_changer_inventory(context, prepared.session, exit);
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
    return inventory.slot_number_of(drive.source);
}

int unknownSource(CommandContext& context, unsigned drive) {
    return command_failure(context, "the changer does not say which slot the disc in " + driveName(drive) +
                                        " came from; name the slot");
}

int moveBetween(CommandContext& context, Prepared& p, const std::string& text, uint16_t source,
                uint16_t destination) {
    const uint16_t transport = moving_transport(p.inventory);
    return run_showing_progress(context, text, [&] { return p.session->move(transport, source, destination); });
}

// Which full storage slot first/last/next/previous load.
enum class Pick { first, last, next, previous };

int runSequence(CommandContext& context, Pick pick) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 0, 1, exit);
    if (!p)
        return exit;
    const ChangerInventory& inventory = p->inventory;
    unsigned driveNumber = 0;
    if (!p->args.positionals.empty()) {
        const std::optional<unsigned> drive = drive_argument(context, inventory, p->args.positionals[0], exit);
        if (!drive)
            return exit;
        driveNumber = *drive;
    } else if (inventory.drives.empty()) {
        return usage_error(context, "the changer has no drives");
    }
    const Element& drive = *inventory.drive(driveNumber);

    std::optional<unsigned> loadedFrom;
    if (drive.full) {
        loadedFrom = sourceSlot(inventory, drive);
        if (!loadedFrom)
            return unknownSource(context, driveNumber);
    } else if (pick == Pick::next || pick == Pick::previous) {
        return command_failure(context, driveName(driveNumber) + " is Empty");
    }

    // Only storage elements take part; a disc in an import/export port is not in the sequence.
    // The slot the drive's disc goes back to counts as full.
    const auto fullAfterUnload = [&](unsigned slot) {
        return inventory.storage[slot - 1].full || (loadedFrom && *loadedFrom == slot);
    };
    const unsigned storageCount = static_cast<unsigned>(inventory.storage.size());
    std::optional<unsigned> chosen;
    switch (pick) {
    case Pick::first:
        for (unsigned s = 1; s <= storageCount && !chosen; ++s)
            if (fullAfterUnload(s)) chosen = s;
        break;
    case Pick::last:
        for (unsigned s = storageCount; s >= 1 && !chosen; --s)
            if (fullAfterUnload(s)) chosen = s;
        break;
    case Pick::next:
        for (unsigned s = *loadedFrom + 1; s <= storageCount && !chosen; ++s)
            if (fullAfterUnload(s)) chosen = s;
        break;
    case Pick::previous:
        for (unsigned s = std::min(*loadedFrom, storageCount + 1) - 1; s >= 1 && !chosen; --s)
            if (fullAfterUnload(s)) chosen = s;
        break;
    }
    if (!chosen) {
        const char* where = pick == Pick::next       ? " after the one loaded"
                            : pick == Pick::previous ? " before the one loaded"
                                                     : "";
        return command_failure(context, "no full Storage Element" + std::string(where));
    }
    if (loadedFrom && *loadedFrom == *chosen)
        return kExitSuccess;  // that disc is in the drive already

    if (loadedFrom) {
        exit = moveBetween(context, *p, "Unloading " + driveName(driveNumber) + " into " +
                                            slot_name(inventory, *loadedFrom),
                           drive.address, inventory.slot(*loadedFrom)->address);
        if (exit != kExitSuccess)
            return exit;
    }
    return moveBetween(context, *p,
                       "Loading " + slot_name(inventory, *chosen) + " into " + driveName(driveNumber),
                       inventory.slot(*chosen)->address, drive.address);
}

}  // namespace

int run_load(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 1, 2, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> slot = slot_argument(context, p->inventory, p->args.positionals[0], exit);
    if (!slot)
        return exit;
    const std::optional<unsigned> drive =
        drive_argument(context, p->inventory, p->args.positionals.size() > 1 ? p->args.positionals[1] : "0", exit);
    if (!drive)
        return exit;
    return moveBetween(context, *p, "Loading " + slot_name(p->inventory, *slot) + " into " + driveName(*drive),
                       p->inventory.slot(*slot)->address, p->inventory.drive(*drive)->address);
}

int run_unload(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 0, 2, exit);
    if (!p)
        return exit;
    const std::vector<std::string>& words = p->args.positionals;
    const std::optional<unsigned> drive =
        drive_argument(context, p->inventory, words.size() > 1 ? words[1] : "0", exit);
    if (!drive)
        return exit;
    const Element& element = *p->inventory.drive(*drive);
    std::optional<unsigned> slot;
    if (!words.empty()) {
        slot = slot_argument(context, p->inventory, words[0], exit);
        if (!slot)
            return exit;
    } else {
        if (!element.full)
            return command_failure(context, driveName(*drive) + " is Empty");
        slot = sourceSlot(p->inventory, element);
        if (!slot)
            return unknownSource(context, *drive);
    }
    return moveBetween(context, *p, "Unloading " + driveName(*drive) + " into " + slot_name(p->inventory, *slot),
                       element.address, p->inventory.slot(*slot)->address);
}

int run_transfer(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 2, 2, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> from = slot_argument(context, p->inventory, p->args.positionals[0], exit);
    if (!from)
        return exit;
    const std::optional<unsigned> to = slot_argument(context, p->inventory, p->args.positionals[1], exit);
    if (!to)
        return exit;
    return moveBetween(context, *p,
                       "Moving " + slot_name(p->inventory, *from) + " to " + slot_name(p->inventory, *to),
                       p->inventory.slot(*from)->address, p->inventory.slot(*to)->address);
}

int run_exchange(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 2, 3, exit);
    if (!p)
        return exit;
    unsigned slots[3] = {};
    const std::vector<std::string>& words = p->args.positionals;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::optional<unsigned> slot = slot_argument(context, p->inventory, words[i], exit);
        if (!slot)
            return exit;
        slots[i] = *slot;
    }
    if (words.size() == 2)
        slots[2] = slots[0];  // a swap: the second disc goes where the first came from
    const uint16_t transport = moving_transport(p->inventory);
    const uint16_t source = p->inventory.slot(slots[0])->address;
    const uint16_t first = p->inventory.slot(slots[1])->address;
    const uint16_t second = p->inventory.slot(slots[2])->address;
    return run_showing_progress(context,
                              "Exchanging " + slot_name(p->inventory, slots[0]) + " and " +
                                  slot_name(p->inventory, slots[1]),
                              [&] { return p->session->exchange(transport, source, first, second); });
}

int run_position(CommandContext& context) {
    int exit = kExitSuccess;
    std::optional<Prepared> p = prepare(context, 1, 1, exit);
    if (!p)
        return exit;
    const std::optional<unsigned> slot = slot_argument(context, p->inventory, p->args.positionals[0], exit);
    if (!slot)
        return exit;
    const uint16_t transport = moving_transport(p->inventory);
    const uint16_t destination = p->inventory.slot(*slot)->address;
    return run_showing_progress(context, "Positioning at " + slot_name(p->inventory, *slot),
                              [&] { return p->session->position(transport, destination); });
}

int run_inventory(CommandContext& context) {
    int exit = kExitSuccess;
    if (!command_arguments(context, {}, 0, 0, exit))
        return exit;
    ChangerSession* session = context.changer();
    if (!session)
        return context.open_failure_exit();
    return run_showing_progress(context, "Taking inventory", [&] { return session->initialize_element_status(); });
}

int run_first(CommandContext& context) {
    return runSequence(context, Pick::first);
}

int run_last(CommandContext& context) {
    return runSequence(context, Pick::last);
}

int run_next(CommandContext& context) {
    return runSequence(context, Pick::next);
}

int run_previous(CommandContext& context) {
    return runSequence(context, Pick::previous);
}

}  // namespace karvel::ctl
