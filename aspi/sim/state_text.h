// SPDX-License-Identifier: MIT
// The state file's text: a human-readable, line-per-fact form of a JukeboxState.
#pragma once

#include <stdexcept>
#include <string>

#include "jukebox_state.h"

namespace aspi::sim {

// A state file that cannot be read, parsed or written; what() names the file and the fault.
struct StateError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Returns the text of state, as the state file holds it.
std::string format_state(const JukeboxState& state);

// Returns the state that text describes; throws StateError("line N: fault") when it is not
// a sound state file.
JukeboxState parse_state(const std::string& text);

}  // namespace aspi::sim
