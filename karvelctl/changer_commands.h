// SPDX-License-Identifier: MIT
// The commands karvelctl shares with the mtx command line, and `list`. Each returns the
// process's exit code (exit_codes.h); output goes to the context's streams.
#pragma once

#include "command_table.h"

namespace karvel::ctl {

int run_status(CommandContext& context);
int run_inquiry(CommandContext& context);
int run_list(CommandContext& context);
int run_load(CommandContext& context);
int run_unload(CommandContext& context);
int run_transfer(CommandContext& context);
int run_exchange(CommandContext& context);
int run_position(CommandContext& context);
int run_inventory(CommandContext& context);
int run_first(CommandContext& context);
int run_last(CommandContext& context);
int run_next(CommandContext& context);
int run_previous(CommandContext& context);
int run_eject(CommandContext& context);

}  // namespace karvel::ctl
