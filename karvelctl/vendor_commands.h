// SPDX-License-Identifier: MIT
// karvelctl's commands for what this changer has beyond SMC and mtx: its records of full
// slots, Initialize over a range of elements, REZERO UNIT and the firmware. Each returns the
// process's exit code (exit_codes.h); output goes to the context's streams.
#pragma once

#include "command_context.h"

namespace karvel::ctl {

// records [--clear --yes]: prints the fullness records, or zeroes them as Clear NVRAM does.
int runRecords(CommandContext& context);
// initialize [START STOP]: INITIALIZE ELEMENT STATUS, over START-STOP through mode page 20h.
int runInitialize(CommandContext& context);
// rezero: REZERO UNIT, the mechanism goes home.
int runRezero(CommandContext& context);
// firmware check FILE [--image OUT] | firmware download FILE --yes.
int runFirmware(CommandContext& context);

}  // namespace karvel::ctl
