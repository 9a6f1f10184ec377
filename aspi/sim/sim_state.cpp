// SPDX-License-Identifier: MIT
#include "sim_state.h"

#include <stdexcept>

#include "sha256.h"
#include "state_file.h"

namespace aspi::sim {

namespace {

JukeboxState loadLocked(const StateFile& file) {
    auto text = file.read();
    if (!text) throw StateError(file.path() + ": no such jukebox state file");
    try {
        return parseState(*text);
    } catch (const StateError& error) {
        throw StateError(file.path() + ": " + error.what());
    }
}

void saveLocked(const StateFile& file, const JukeboxState& state) {
    if (auto fault = stateFault(state)) throw std::invalid_argument("jukebox state: " + *fault);
    file.write(formatState(state));
}

}  // namespace

JukeboxState loadState(const std::string& path) {
    StateFile file(path);
    auto hold = file.lock();
    return loadLocked(file);
}

void saveState(const std::string& path, const JukeboxState& state) {
    StateFile file(path);
    auto hold = file.lock();
    saveLocked(file, state);
}

void createState(const std::string& path, const Seed& seed) { saveState(path, seededState(seed)); }

void editState(const std::string& path, const std::function<void(JukeboxState&)>& edit) {
    StateFile file(path);
    auto hold = file.lock();
    JukeboxState state = loadLocked(file);
    edit(state);
    saveLocked(file, state);
}

void injectFault(const std::string& path, const Fault& fault) {
    editState(path, [&](JukeboxState& s) { s.faults.push_back(fault); });
}

std::vector<uint8_t> loadFirmware(const std::string& path) {
    StateFile file(path);
    auto hold = file.lock();
    if (auto text = file.read()) {
        try {
            file.settleFirmware(parseState(*text).firmwareDigest);
        } catch (const StateError&) {
            // a damaged state settles nothing; the image in place is what was last committed
        }
    }
    return file.readFirmware();
}

std::string firmwareDigest(std::span<const uint8_t> image) { return sha256Hex(image); }

}  // namespace aspi::sim
