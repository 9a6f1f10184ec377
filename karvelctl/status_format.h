// SPDX-License-Identifier: MIT
// The `status` text, exactly as the mtx command line prints it, so that scripts that parse
// mtx's output (Bacula's mtx-changer, Amanda's chg-robot) read ours unchanged.
#pragma once

#include <string>

#include "changer_inventory.h"

namespace karvel::ctl {

// Returns the status text of inventory for the changer called name (every line ends in LF).
std::string formatStatus(const ChangerInventory& inventory, const std::string& name);

}  // namespace karvel::ctl
