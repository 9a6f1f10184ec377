// SPDX-License-Identifier: MIT
#include "saved_target.h"

#include <string>

#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"

namespace karvel::ctl {

TargetAddress readSavedTarget() {
    std::string error;
    const TargetAddress target = model::readSavedTarget(model::profilePath("karvel"), error);
    if (!error.empty())
        model::reportProfileError("karvelctl", error);
    return target;
}

}  // namespace karvel::ctl
