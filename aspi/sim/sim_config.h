// SPDX-License-Identifier: MIT
// The sim configuration line: "sim PATH [key=value ...]".
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "jukebox_state.h"
#include "transport.h"

namespace aspi::sim {

// How this program's jukebox behaves; taken from the line every time (not kept in the state).
struct Behaviour {
    uint8_t blockDescriptorLength = 0;  // 0, or 8 for MODE SENSE with one block descriptor
    std::chrono::milliseconds moveTime{0};    // MOVE MEDIUM, EXCHANGE MEDIUM
    std::chrono::milliseconds rezeroTime{0};  // REZERO UNIT
    std::chrono::milliseconds initTime{0};    // INITIALIZE ELEMENT STATUS
    // The simulated operator loads a new disc into an empty port when the transport is
    // positioned at it (as the Import prompt asks).
    bool operatorLoads = true;
};

struct SimSettings {
    std::string statePath;  // absolute, or relative to the working directory
    Seed seed;              // used only when the state file does not exist yet
    Behaviour behaviour;
    // How long a command waits for the jukebox's lock; unset, the command's own timeout
    // (commandTimeout.h). Not on the line: tests set it to keep their waits short.
    std::optional<std::chrono::milliseconds> lockWait;
};

// Returns the settings of a sim line; a relative PATH is taken from the configuration file's
// directory. Throws ConfigError naming the key and the fault.
SimSettings parseSimLine(const TransportLine& line);

}  // namespace aspi::sim
