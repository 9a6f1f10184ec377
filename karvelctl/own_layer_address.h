// SPDX-License-Identifier: MIT
// The -f forms that bring a layer configuration of their own: /dev/sgN (served through a
// configuration of just `sg`) and iscsi://HOST[:PORT]/IQN/LUN (one iscsi line naming that
// target). Each must run before the layer's first call, which reads the configuration.
#pragma once

#include <optional>
#include <string>

#include "changer_model/changer_config.h"

namespace karvel::ctl {

// Returns the address /dev/sgN has under the private `sg` configuration now in place, or
// nothing with why set (and the layer untouched).
std::optional<TargetAddress> useSgDeviceAddress(const std::string& text, std::string& why);

// Returns target 0 of adapter 0 at the URL's LUN once the private iscsi line is in place, or
// nothing with why set (and the layer untouched).
std::optional<TargetAddress> useIscsiAddress(const std::string& text, std::string& why);

}  // namespace karvel::ctl
