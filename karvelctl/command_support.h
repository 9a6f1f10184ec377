// SPDX-License-Identifier: MIT
// What the commands share: their messages, reading the inventory, naming elements.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "arguments.h"
#include "changer_inventory.h"
#include "command_context.h"
#include "failure_report.h"

namespace karvel::ctl {

// Writes "karvelctl: COMMAND: why" and the command's usage line to err; returns kExitUsage.
int usageError(CommandContext& context, const std::string& why);
// Writes "karvelctl: COMMAND: why" to err; returns kExitFailed.
int commandFailure(CommandContext& context, const std::string& why);
// Writes the report of failure to err; returns kExitFailed.
int requestFailure(CommandContext& context, const FailedRequest& failure);

// Runs request while a progress line shows text (on a terminal only); returns kExitSuccess,
// or kExitFailed after the report of the failure it returned went to err.
int runShowingProgress(CommandContext& context, const std::string& text,
                         const std::function<std::optional<FailedRequest>()>& request);

// Returns the command's words parsed (see parseCommandArguments), or nothing after a
// usage error went to err; exit is then kExitUsage.
std::optional<CommandArguments> commandArguments(CommandContext& context,
                                                  std::initializer_list<std::string_view> allowedFlags,
                                                  size_t minPositionals, size_t maxPositionals, int& exit);

// Returns the changer's inventory, or nothing with exit set after the reason went to err.
std::optional<ChangerInventory> readChangerInventory(CommandContext& context, ChangerSession*& session,
                                                       int& exit);

// Returns the slot that word numbers, or nothing after a usage error (exit set).
std::optional<unsigned> slotArgument(CommandContext& context, const ChangerInventory& inventory,
                                      const std::string& word, int& exit);
// Returns the drive that word numbers, or nothing after a usage error (exit set).
std::optional<unsigned> driveArgument(CommandContext& context, const ChangerInventory& inventory,
                                       const std::string& word, int& exit);

// Returns the address of the transport that moves discs: the first of the assignment, or 0
// (the changer's default) when it reports none.
uint16_t movingTransport(const ChangerInventory& inventory);

// Returns "Storage Element N" or "Storage Element N IMPORT/EXPORT" for slot number.
std::string slotName(const ChangerInventory& inventory, unsigned number);

}  // namespace karvel::ctl
