// SPDX-License-Identifier: MIT
// A simulated jukebox of the test's own: a scratch directory with the layer's one-line
// configuration, the state file, and an empty profile directory, so that karvelctl run by
// the test reads nothing of the machine's own.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ctl_process.h"
#include "sim/sim_state.h"

namespace karvel::ctl::test {

class SimJukebox {
public:
    // Writes the configuration "sim jukebox.state OPTIONS"; the state is seeded from it at
    // the first command.
    explicit SimJukebox(const std::string& options = "slots=10 drives=2 ports=1 full=1-3");
    ~SimJukebox();
    SimJukebox(const SimJukebox&) = delete;
    SimJukebox& operator=(const SimJukebox&) = delete;

    // Replaces the configuration with lines (each "sim ..." names its state file itself).
    void configure(const std::vector<std::string>& lines);
    // Writes Karvel's profile (karvel.INI) with text.
    void writeProfile(const std::string& text);
    // Changes the jukebox's state under its lock (seeding it first when it does not exist yet).
    void edit(const std::function<void(aspi::sim::JukeboxState&)>& change);
    // Returns the state (the truth and the records), seeding it first when needed.
    aspi::sim::JukeboxState state() const;

    // Runs karvelctl with args on this jukebox; stdout on a pseudo-terminal with onTerminal.
    ProcessResult run(const std::vector<std::string>& args, bool onTerminal = false) const;
    // Runs argv (argv[0] a path) with this jukebox's environment plus extra.
    ProcessResult runProgram(const std::vector<std::string>& argv, const Environment& extra = {}) const;
    // Runs a /bin/sh script with karvelctl on PATH and this jukebox's environment.
    ProcessResult shell(const std::string& script) const;
    // Returns the output of `karvelctl status` (the test fails when it does not succeed).
    std::string status() const;

    const std::string& directory() const { return m_directory; }
    std::string statePath() const { return m_directory + "/jukebox.state"; }

private:
    Environment environment() const;
    // Makes the layer seed the state file from the configuration when it does not exist yet.
    void seed() const;

    std::string m_directory;
};

// Returns "slot N=ID" for every full slot and "drive N=ID" for every full drive, where ID is
// the disc's identity, from the truth of state; "port N=ID" for the ports.
std::string discPlaces(const aspi::sim::JukeboxState& state);

// Brings each of jukeboxes to the same starting point: every one of setups run as karvelctl
// -f 0:0:0 (the test fails when one does not succeed), then faults injected.
void prepareAlike(std::initializer_list<SimJukebox*> jukeboxes, const std::vector<std::vector<std::string>>& setups,
                  const std::vector<aspi::sim::Fault>& faults);

}  // namespace karvel::ctl::test
