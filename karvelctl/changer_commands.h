// SPDX-License-Identifier: MIT
// The commands karvelctl shares with the mtx command line, and `list`. Each returns the
// process's exit code (exit_codes.h); output goes to the context's streams.
#pragma once

#include "command_context.h"

namespace karvel::ctl {

int runStatus(CommandContext& context);
int runInquiry(CommandContext& context);
int runList(CommandContext& context);
int runLoad(CommandContext& context);
int runUnload(CommandContext& context);
int runTransfer(CommandContext& context);
int runExchange(CommandContext& context);
int runPosition(CommandContext& context);
int runInventory(CommandContext& context);
int runFirst(CommandContext& context);
int runLast(CommandContext& context);
int runNext(CommandContext& context);
int runPrevious(CommandContext& context);
int runEject(CommandContext& context);

}  // namespace karvel::ctl
