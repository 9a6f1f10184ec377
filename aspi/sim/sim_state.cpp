// SPDX-License-Identifier: MIT
#include "sim_state.h"

#include <stdexcept>

#include "sha256.h"
#include "state_file.h"

namespace aspi::sim {

namespace {

JukeboxState load_locked(const StateFile& file) {
    auto text = file.read();
    if (!text) throw StateError(file.path() + ": no such jukebox state file");
    try {
        return parse_state(*text);
    } catch (const StateError& error) {
        throw StateError(file.path() + ": " + error.what());
    }
}

void save_locked(const StateFile& file, const JukeboxState& state) {
    if (auto fault = state_fault(state)) throw std::invalid_argument("jukebox state: " + *fault);
    file.write(format_state(state));
}

}  // namespace

JukeboxState load_state(const std::string& path) {
    StateFile file(path);
    auto hold = file.lock();
    return load_locked(file);
}

void save_state(const std::string& path, const JukeboxState& state) {
    StateFile file(path);
    auto hold = file.lock();
    save_locked(file, state);
}

void create_state(const std::string& path, const Seed& seed) { save_state(path, seeded_state(seed)); }

void edit_state(const std::string& path, const std::function<void(JukeboxState&)>& edit) {
    StateFile file(path);
    auto hold = file.lock();
    JukeboxState state = load_locked(file);
    edit(state);
    save_locked(file, state);
}

void inject_fault(const std::string& path, const Fault& fault) {
    edit_state(path, [&](JukeboxState& s) { s.faults.push_back(fault); });
}

std::vector<uint8_t> load_firmware(const std::string& path) {
    StateFile file(path);
    auto hold = file.lock();
    if (auto text = file.read()) {
        try {
            file.settle_firmware(parse_state(*text).firmwareDigest);
        } catch (const StateError&) {
            // a damaged state settles nothing; the image in place is what was last committed
        }
    }
    return file.read_firmware();
}

std::string firmware_digest(std::span<const uint8_t> image) { return sha256_hex(image); }

}  // namespace aspi::sim
