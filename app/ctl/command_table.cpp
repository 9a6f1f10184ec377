#include "command_table.h"

#include <algorithm>

#include "changer_commands.h"

namespace karvel::ctl {

namespace {

// Helper B's vendor commands (records, initialize, rezero, firmware) join this table.
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
    {"inquiry", "inquiry", "show the changer's vendor, product and revision",
     "Prints the product type, vendor, product and revision from INQUIRY, as mtx does.\n", &run_inquiry},
    {"list", "list", "list every device the ASPI layer can reach",
     "Scans every host adapter, target ids 0-15 and LUNs 0-7, as Karvel does to find its\n"
     "changer, and prints each device's address (H:T:L), type, vendor, product and revision.\n"
     "Needs no -f.\n",
     &run_list},
};

}  // namespace

CommandContext::CommandContext(std::vector<std::string> arguments_, std::ostream& out_, std::ostream& err_,
                               bool stdoutIsTerminal_, GlobalOptions global_, ChangerOpener opener)
    : arguments(std::move(arguments_)),
      out(out_),
      err(err_),
      stdoutIsTerminal(stdoutIsTerminal_),
      global(std::move(global_)),
      opener_(std::move(opener)) {}

ChangerSession* CommandContext::changer() {
    if (!tried_) {
        tried_ = true;
        session_ = opener_(global, openFailure_);
        if (!session_)
            err << "karvelctl: " << openFailure_.why << '\n';
    }
    return session_.get();
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
