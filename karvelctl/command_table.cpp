// SPDX-License-Identifier: MIT
#include "command_table.h"

#include <algorithm>

#include "changer_commands.h"
#include "vendor_commands.h"

namespace karvel::ctl {

namespace {

constexpr Command kCommands[] = {
    {"status", "status [--json]", "show the drives and slots, as mtx does",
     "Prints every drive and slot, as the mtx command line prints them (volume tags\n"
     "when the changer reports them). --json prints the changer's identity, geometry\n"
     "and every element as JSON instead.\n",
     &runStatus},
    {"load", "load SLOT [DRIVE]", "move a slot's disc into a drive (default drive 0)",
     "Moves the disc in SLOT (numbered from 1; import/export ports follow the storage\n"
     "slots) into DRIVE (numbered from 0; default 0).\n",
     &runLoad},
    {"unload", "unload [SLOT] [DRIVE]", "move the disc of a drive back to a slot",
     "Moves the disc in DRIVE (default 0) into SLOT; without SLOT, back to the slot\n"
     "the changer says it came from.\n",
     &runUnload},
    {"transfer", "transfer SLOT SLOT", "move a disc from one slot to another",
     "Moves the disc in the first SLOT into the second.\n", &runTransfer},
    {"exchange", "exchange SLOT SLOT [SLOT]", "exchange the discs of two slots",
     "Moves the disc of the first SLOT into the second, and the disc that was there\n"
     "into the third (default: the first, a swap), in one EXCHANGE MEDIUM.\n",
     &runExchange},
    {"position", "position SLOT", "move the picker in front of a slot",
     "Positions the transport at SLOT (POSITION TO ELEMENT).\n", &runPosition},
    {"inventory", "inventory", "make the changer take a new inventory",
     "Sends INITIALIZE ELEMENT STATUS: the changer checks every element for a disc.\n", &runInventory},
    {"first", "first [DRIVE]", "load storage slot 1 into a drive",
     "Loads storage slot 1 into DRIVE (default 0), full or not, as mtx does; a disc\n"
     "already in the drive is unloaded first.\n",
     &runFirst},
    {"last", "last [DRIVE]", "load the last storage slot into a drive",
     "Loads the last storage slot into DRIVE (default 0), full or not, as mtx does; a\n"
     "disc already in the drive is unloaded first.\n",
     &runLast},
    {"next", "next [DRIVE]", "unload a drive and load the next full slot",
     "Unloads DRIVE (default 0) if it holds a disc, then loads the next full storage\n"
     "slot after the one the disc went to (with an empty drive, the first full one);\n"
     "No More Media when there is none.\n",
     &runNext},
    {"previous", "previous [DRIVE]", "unload a drive and load the previous full slot",
     "Unloads DRIVE (default 0) if it holds a disc, then loads the nearest full\n"
     "storage slot before the one the disc went to (with an empty drive, the last full\n"
     "one); No More Media when there is none.\n",
     &runPrevious},
    {"eject", "eject", "open the changer's door or eject its magazine",
     "Sends START STOP UNIT with the eject bit to the changer, as mtx does.\n", &runEject},
    {"inquiry", "inquiry", "show the changer's vendor, product and revision",
     "Prints the product type, vendor, product and revision from INQUIRY, as mtx does.\n", &runInquiry},
    {"list", "list", "list every device the ASPI layer can reach",
     "Scans every host adapter, target ids 0-15 and LUNs 0-7, as Karvel does to find\n"
     "its changer, and prints each device's address (H:T:L), type, vendor, product and\n"
     "revision. Needs no -f.\n",
     &runList},
    {"records", "records [--clear --yes]", "show or clear the changer's records of full slots",
     "Prints the changer's own records of which slots hold a disc (what Karvel's slot\n"
     "list shows), one line per storage slot: \"Slot N:Full\" or \"Slot N:Empty\", N from\n"
     "1. They are read with READ BUFFER, 13 bytes per group of 100 slots. --clear\n"
     "--yes zeroes them as Karvel's Clear NVRAM does (the discs stay where they are;\n"
     "initialize makes the records true again); --clear without --yes is refused and\n"
     "sends nothing.\n",
     &runRecords},
    {"initialize", "initialize [START STOP]", "make the changer take a new inventory, over a range",
     "Sends INITIALIZE ELEMENT STATUS. With START and STOP (element addresses, decimal\n"
     "0 to 65535) it first sends them in the vendor mode page 20h by MODE SELECT, as\n"
     "Karvel's Initialize does, so that the changer checks only those elements; a\n"
     "failed MODE SELECT sends no INITIALIZE ELEMENT STATUS.\n",
     &runInitialize},
    {"rezero", "rezero", "send the changer's mechanism home",
     "Sends REZERO UNIT (Karvel's Reset without reading the slots again).\n", &runRezero},
    {"firmware", "firmware check|download FILE [--image OUT|--yes]",
     "check a firmware file, or download it to the changer",
     "check: loads FILE as karvel --check-firmware does, without touching any device\n"
     "(exit 0 loads, 1 does not, naming the line and the reason). download: loads FILE\n"
     "the same way (MOT Motorola S-records, HEX Intel hex, BIN raw image, by its\n"
     "extension) and sends the whole 128 KiB image in one WRITE BUFFER (download\n"
     "microcode and save, buffer 15), as Karvel's New Firmware does. Nothing is sent\n"
     "unless the whole file loads, nor without --yes.\n",
     &runFirmware},
};

}  // namespace

std::span<const Command> commandTable() {
    return kCommands;
}

const Command* findCommand(std::string_view name) {
    const auto found =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const Command& c) { return c.name == name; });
    return found == std::end(kCommands) ? nullptr : &*found;
}

}  // namespace karvel::ctl
