// SPDX-License-Identifier: MIT
// A target address as text: "H:T:L", decimal host adapter number, target id and LUN.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "changer_model/changer_config.h"

namespace karvel::model {

// Returns the target text names when it is three decimal numbers from 0 to 255 joined by
// ':', or nothing with the reason (quoting text) in why.
std::optional<TargetAddress> parseTargetAddress(std::string_view text, std::string& why);

// Returns "H:T:L" for target.
std::string formatTargetAddress(const TargetAddress& target);

}  // namespace karvel::model
