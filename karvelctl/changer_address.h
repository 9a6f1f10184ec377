// SPDX-License-Identifier: MIT
// The -f argument: which changer a command talks to.
#pragma once

#include <optional>
#include <string>

#include "changer_model/changer_config.h"

namespace karvel::ctl {

// Returns the target that text names, or nothing with the reason in why: "H:T:L" (decimal
// host adapter, target id and LUN of the user's layer configuration), /dev/sgN or
// iscsi://HOST[:PORT]/IQN/LUN (each served through a private one-line configuration that
// this call puts in place). Must be called before the first call into the ASPI layer.
std::optional<TargetAddress> resolveChangerAddress(const std::string& text, std::string& why);

// Returns "H:T:L" for target.
std::string formatTargetAddress(const TargetAddress& target);

}  // namespace karvel::ctl
