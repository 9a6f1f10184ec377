// SPDX-License-Identifier: MIT
// Reading and setting up a simulated jukebox from tests and tools, in any process, even
// while programs use the jukebox: every call holds the jukebox's lock, and every write is
// atomic. What the types mean is in jukebox_state.h; the file's text in the README.
//
//   aspi::sim::create_state(path, {.slots = 100, .full = std::vector<int>{1, 2, 3}});
//   aspi::sim::edit_state(path, [](aspi::sim::JukeboxState& s) { s.records.assign(s.records.size(), false); });
//   aspi::sim::inject_fault(path, {.key = 2, .asc = 0x53, .ascq = 0x81, .opcode = 0xA5});
//   auto state = aspi::sim::load_state(path);
//   const aspi::sim::Disc* disc = state.disc_at(state.drives.first);  // the truth
//   bool believed = state.recorded_full(state.slot_address(5));       // the records
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "jukebox_state.h"
#include "state_text.h"

namespace aspi::sim {

// Returns the state kept at path; throws StateError when it is missing or damaged.
JukeboxState load_state(const std::string& path);

// Replaces the state at path with state; throws StateError (and std::invalid_argument for an
// inconsistent state, which is never written).
void save_state(const std::string& path, const JukeboxState& state);

// Writes a new jukebox built from seed at path, replacing any state there.
void create_state(const std::string& path, const Seed& seed);

// Loads the state at path, lets edit change it and saves it, all under one hold of the lock.
void edit_state(const std::string& path, const std::function<void(JukeboxState&)>& edit);

// Appends fault to the state at path; the next matching command(s) report it.
void inject_fault(const std::string& path, const Fault& fault);

// Returns the firmware image last downloaded into the jukebox at path, empty when none.
std::vector<uint8_t> load_firmware(const std::string& path);

// Returns the digest the jukebox records for image (SHA-256, 64 lower-case hex digits).
std::string firmware_digest(std::span<const uint8_t> image);

}  // namespace aspi::sim
