// SPDX-License-Identifier: MIT
// Reading and setting up a simulated jukebox from tests and tools, in any process, even
// while programs use the jukebox: every call holds the jukebox's lock, and every write is
// atomic. What the types mean is in jukebox_state.h; the file's text in the README.
//
//   aspi::sim::createState(path, {.slots = 100, .full = std::vector<int>{1, 2, 3}});
//   aspi::sim::editState(path, [](aspi::sim::JukeboxState& s) { s.records.assign(s.records.size(), false); });
//   aspi::sim::injectFault(path, {.key = 2, .asc = 0x53, .ascq = 0x81, .opcode = 0xA5});
//   auto state = aspi::sim::loadState(path);
//   const aspi::sim::Disc* disc = state.discAt(state.drives.first);  // the truth
//   bool believed = state.recordedFull(state.slotAddress(5));       // the records
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
JukeboxState loadState(const std::string& path);

// Replaces the state at path with state; throws StateError (and std::invalid_argument for an
// inconsistent state, which is never written).
void saveState(const std::string& path, const JukeboxState& state);

// Writes a new jukebox built from seed at path, replacing any state there.
void createState(const std::string& path, const Seed& seed);

// Loads the state at path, lets edit change it and saves it, all under one hold of the lock.
void editState(const std::string& path, const std::function<void(JukeboxState&)>& edit);

// Appends fault to the state at path; the next matching command(s) report it.
void injectFault(const std::string& path, const Fault& fault);

// Returns the firmware image last downloaded into the jukebox at path, empty when none.
std::vector<uint8_t> loadFirmware(const std::string& path);

// Returns the digest the jukebox records for image (SHA-256, 64 lower-case hex digits).
std::string firmwareDigest(std::span<const uint8_t> image);

}  // namespace aspi::sim
