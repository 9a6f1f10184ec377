// SPDX-License-Identifier: MIT
// What `records` prints of the changer's records of full slots.
#pragma once

#include <string>
#include <vector>

namespace karvel::ctl {

// Returns one line per slot, "Slot N:Full" or "Slot N:Empty", N counted from 1; full[i] is slot i + 1.
std::string formatRecords(const std::vector<bool>& full);

}  // namespace karvel::ctl
