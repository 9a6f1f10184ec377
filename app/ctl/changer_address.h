// The -f argument: which changer a command talks to.
#pragma once

#include <optional>
#include <string>

#include "changer_config.h"

namespace karvel::ctl {

// Returns the target that text names ("H:T:L", decimal host adapter, target id and LUN), or
// nothing with the reason in why. Called before the first call into the ASPI layer, so a form
// that needs a configuration of its own may still set one up here.
std::optional<TargetAddress> resolve_changer_address(const std::string& text, std::string& why);

// Returns "H:T:L" for target.
std::string format_target_address(const TargetAddress& target);

}  // namespace karvel::ctl
