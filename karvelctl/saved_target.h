// SPDX-License-Identifier: MIT
// The target Karvel saved in its profile, read without Qt and never written: karvelctl
// without -f chooses the changer Karvel would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "changer_model/changer_config.h"

namespace karvel::ctl {

// Returns Karvel's profile file: $XDG_CONFIG_HOME/karvel.INI when that is an absolute path,
// else ~/.config/karvel.INI.
std::string karvel_profile_path();

// Returns the value of key in section of the INI text (names compared without case, the
// first section and key of that name, blanks around the value and one pair of quotes
// removed, LF or CR LF), or nothing when absent.
std::optional<std::string> profile_value(std::string_view text, std::string_view section, std::string_view key);

// Returns the integer a profile value reads as (blanks, optional sign, leading digits,
// wrapping past 32 bits), or nothing when it does not start with a number.
std::optional<int32_t> profile_integer(std::string_view value);

// Returns the saved target in profile text: "Host", "ScsiId" and "Lun" of "JukeBox Default",
// 0 when absent, each cut to its low 8 bits.
TargetAddress saved_target_in(std::string_view text);

// Returns the saved target of the profile file (0:0:0 when it cannot be read).
TargetAddress read_saved_target();

// The largest profile read; a real one is a few hundred bytes.
inline constexpr uint64_t kProfileLimit = 1u << 20;

}  // namespace karvel::ctl
