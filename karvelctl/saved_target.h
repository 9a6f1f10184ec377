// SPDX-License-Identifier: MIT
// The saved target karvelctl chooses without -f: the one in the karvel profile, read through
// the changer model and never written.
#pragma once

#include "changer_model/changer_config.h"

namespace karvel::ctl {

// Returns the saved target of the karvel profile (0:0:0 when it is missing or cannot be read;
// the latter said once on stderr, "karvelctl: profile PATH: REASON").
TargetAddress readSavedTarget();

}  // namespace karvel::ctl
