// SPDX-License-Identifier: MIT
// The saved target: "Host", "ScsiId" and "Lun" of section "JukeBox Default" in the program's
// profile, $XDG_CONFIG_HOME/<name>.INI (when that is an absolute path, else
// ~/.config/<name>.INI).
#pragma once

#include <string>
#include <string_view>

#include "changer_model/changer_config.h"

namespace karvel::model {

// The section and keys of the saved target.
inline constexpr std::string_view kSavedTargetSection = "JukeBox Default";
inline constexpr std::string_view kHostKey = "Host";
inline constexpr std::string_view kScsiIdKey = "ScsiId";
inline constexpr std::string_view kLunKey = "Lun";

// Returns the profile file of the program called name (e.g. "karvel").
std::string profilePath(std::string_view name);

// Returns the saved target in profile text, each key 0 when absent or not a number and cut
// to its low 8 bits.
TargetAddress savedTargetIn(std::string_view text);

// Returns the saved target of the profile file at path: 0:0:0 when the file is missing, and
// also when it cannot be read, its reason then in error (naming the path; else emptied).
TargetAddress readSavedTarget(const std::string& path, std::string& error);

}  // namespace karvel::model
