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

// The jukebox's lock was not free within the wait allowed; what() names the lock file and,
// when it can be told, the process that holds it.
struct LockTimeout : StateError {
    using StateError::StateError;
};

// Returns the text of state, as the state file holds it.
std::string formatState(const JukeboxState& state);

// Returns the state that text describes; throws StateError("line N: fault") when it is not
// a sound state file.
JukeboxState parseState(const std::string& text);

}  // namespace aspi::sim
