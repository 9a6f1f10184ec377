// SPDX-License-Identifier: MIT
#include "command_table.h"
#include "outside_text.h"

#include <algorithm>

#include "changer_commands.h"
#include "vendor_commands.h"

namespace karvel::ctl {

namespace {

constexpr Command kCommands[] = {
    {"status", "status [--json]", "show the drives and slots, as mtx does",
     "Prints every drive and slot, as the mtx command line prints them (volume tags when the\n"
     "changer reports them). --json prints the changer's identity, geometry and every element\n"
     "as JSON instead.\n",
     &run_status},
    {"load", "load SLOT [DRIVE]", "move the disc of a slot into a drive (drive 0 by default)",
     "Moves the disc in SLOT (numbered from 1; import/export ports follow the storage slots)\n"
     "into DRIVE (numbered from 0; default 0).\n",
     &run_load},
    {"unload", "unload [SLOT] [DRIVE]", "move the disc of a drive back to a slot",
     "Moves the disc in DRIVE (default 0) into SLOT; without SLOT, back to the slot the\n"
     "changer says it came from.\n",
     &run_unload},
    {"transfer", "transfer SLOT SLOT", "move a disc from one slot to another",
     "Moves the disc in the first SLOT into the second.\n", &run_transfer},
    {"exchange", "exchange SLOT SLOT [SLOT]", "exchange the discs of two slots",
     "Moves the disc of the first SLOT into the second, and the disc that was there into the\n"
     "third (default: the first, a swap), in one EXCHANGE MEDIUM.\n",
     &run_exchange},
    {"position", "position SLOT", "move the picker in front of a slot",
     "Positions the transport at SLOT (POSITION TO ELEMENT).\n", &run_position},
    {"inventory", "inventory", "make the changer take a new inventory",
     "Sends INITIALIZE ELEMENT STATUS: the changer checks every element for a disc.\n", &run_inventory},
    {"first", "first [DRIVE]", "load the first full slot into a drive",
     "Loads the first full storage slot into DRIVE (default 0); a disc already in the drive\n"
     "goes back to its slot first.\n",
     &run_first},
    {"last", "last [DRIVE]", "load the last full slot into a drive",
     "Loads the last full storage slot into DRIVE (default 0); a disc already in the drive\n"
     "goes back to its slot first.\n",
     &run_last},
    {"next", "next [DRIVE]", "unload a drive and load the next full slot",
     "Moves the disc in DRIVE (default 0) back to its slot, then loads the next full storage\n"
     "slot after that one.\n",
     &run_next},
    {"previous", "previous [DRIVE]", "unload a drive and load the previous full slot",
     "Moves the disc in DRIVE (default 0) back to its slot, then loads the full storage slot\n"
     "nearest before that one.\n",
     &run_previous},
    {"eject", "eject", "open the changer's door or eject its magazine",
     "Sends START STOP UNIT with the eject bit to the changer, as mtx does.\n", &run_eject},
    {"inquiry", "inquiry", "show the changer's vendor, product and revision",
     "Prints the product type, vendor, product and revision from INQUIRY, as mtx does.\n", &run_inquiry},
    {"list", "list", "list every device the ASPI layer can reach",
     "Scans every host adapter, target ids 0-15 and LUNs 0-7, as Karvel does to find its\n"
     "changer, and prints each device's address (H:T:L), type, vendor, product and revision.\n"
     "Needs no -f.\n",
     &run_list},
    {"records", "records [--clear --yes]", "show or clear the changer's records of full slots",
     "Prints the changer's own records of which slots hold a disc (what Karvel's slot list\n"
     "shows), one line per storage slot: \"Slot N:Full\" or \"Slot N:Empty\", N from 1. They are\n"
     "read with READ BUFFER, 13 bytes per group of 100 slots. --clear --yes zeroes them as\n"
     "Karvel's Clear NVRAM does (the discs stay where they are; initialize makes the records\n"
     "true again); --clear without --yes is refused and sends nothing.\n",
     &run_records},
    {"initialize", "initialize [START STOP]", "make the changer take a new inventory, over a range",
     "Sends INITIALIZE ELEMENT STATUS. With START and STOP (element addresses, decimal 0 to\n"
     "65535) it first sends them in the vendor mode page 20h by MODE SELECT, as Karvel's\n"
     "Initialize does, so that the changer checks only those elements; a failed MODE SELECT\n"
     "sends no INITIALIZE ELEMENT STATUS.\n",
     &run_initialize},
    {"rezero", "rezero", "send the changer's mechanism home",
     "Sends REZERO UNIT (Karvel's Reset without reading the slots again).\n", &run_rezero},
    {"firmware", "firmware check FILE [--image OUT] | firmware download FILE --yes",
     "check a firmware file, or download it to the changer",
     "check: loads FILE as karvel --check-firmware does, without touching any device (exit 0\n"
     "loads, 1 does not, naming the line and the reason). download: loads FILE the same way\n"
     "(MOT Motorola S-records, HEX Intel hex, BIN raw image, by its extension) and sends the\n"
     "whole 128 KiB image in one WRITE BUFFER (download microcode and save, buffer 15), as\n"
     "Karvel's New Firmware does. Nothing is sent unless the whole file loads, nor without --yes.\n",
     &run_firmware},
};

}  // namespace

CommandContext::CommandContext(std::vector<std::string> arguments_, std::ostream& out_, std::ostream& err_,
                               bool stdoutIsTerminal_, GlobalOptions global_, ChangerOpener opener)
    : CommandContext(std::move(arguments_), out_, err_, stdoutIsTerminal_, std::move(global_),
                     std::make_shared<SessionSlot>(SessionSlot{std::move(opener), nullptr, {}, false}), {}) {}

CommandContext::CommandContext(std::vector<std::string> arguments_, std::ostream& out_, std::ostream& err_,
                               bool stdoutIsTerminal_, GlobalOptions global_, std::shared_ptr<SessionSlot> slot,
                               MtxSettings settings_)
    : arguments(std::move(arguments_)),
      out(out_),
      err(err_),
      stdoutIsTerminal(stdoutIsTerminal_),
      global(std::move(global_)),
      settings(settings_),
      slot_(std::move(slot)) {}

ChangerSession* CommandContext::changer() {
    if (!slot_->tried) {
        slot_->tried = true;
        slot_->session = slot_->opener(global, slot_->failure);
        if (!slot_->session)
            err << "karvelctl: " << escapeText(slot_->failure.why) << '\n';
    }
    if (slot_->session)
        slot_->session->set_volume_tags_wanted(!settings.noBarcode);
    return slot_->session.get();
}

std::unique_ptr<ChangerSession> CommandContext::open_changer_session_for(const GlobalOptions& global,
                                                                         OpenFailure& failure) {
    return open_changer_session(global.changerAddress, failure);
}

std::span<const Command> command_table() {
    return kCommands;
}

const Command* find_command(std::string_view name) {
    const auto found =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Command& c) { return c.name == name; });
    return found == std::end(kCommands) ? nullptr : &*found;
}

}  // namespace karvel::ctl
