// SPDX-License-Identifier: MIT
#include "sim_test_jukebox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace karvel::ctl::test {

using test_support::writeFile;

SimJukebox::SimJukebox(const std::string& options) : m_directory(makeScratchDirectory()) {
    configure({"sim jukebox.state " + options});
}

SimJukebox::~SimJukebox() {
    removeTree(m_directory);
}

void SimJukebox::configure(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    writeFile(m_directory + "/aspi.conf", text);
}

void SimJukebox::writeProfile(const std::string& text) {
    writeFile(m_directory + "/karvel.INI", text);
}

void SimJukebox::seed() const {
    if (std::filesystem::exists(statePath()))
        return;
    // The layer seeds the state file at its first command; inquiry is one.
    const ProcessResult seeded = run({"inquiry"});
    if (seeded.exitCode != 0)
        throw std::runtime_error("cannot seed the jukebox: " + seeded.err);
}

void SimJukebox::edit(const std::function<void(aspi::sim::JukeboxState&)>& change) {
    seed();
    aspi::sim::editState(statePath(), change);
}

aspi::sim::JukeboxState SimJukebox::state() const {
    seed();
    return aspi::sim::loadState(statePath());
}

Environment SimJukebox::environment() const {
    return {{"ASPI32_CONFIG", m_directory + "/aspi.conf"},
            {"XDG_CONFIG_HOME", m_directory},
            {"HOME", m_directory}};
}

ProcessResult SimJukebox::run(const std::vector<std::string>& args, bool onTerminal) const {
    std::vector<std::string> argv = {KARVELCTL_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, environment(), ProcessOptions{}.onTerminal(onTerminal));
}

ProcessResult SimJukebox::runProgram(const std::vector<std::string>& argv, const Environment& extra) const {
    Environment env = environment();
    env.insert(env.end(), extra.begin(), extra.end());
    return runProcess(argv, env);
}

ProcessResult SimJukebox::shell(const std::string& script) const {
    Environment env = environment();
    const std::string programDirectory = std::filesystem::path(KARVELCTL_PROGRAM).parent_path().string();
    const char* path = std::getenv("PATH");
    env.emplace_back("PATH", programDirectory + ":" + (path ? path : "/usr/bin:/bin"));
    return runProcess({"/bin/sh", "-c", script}, env);
}

std::string SimJukebox::status() const {
    const ProcessResult result = run({"status"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

std::string discPlaces(const aspi::sim::JukeboxState& state) {
    std::string places;
    for (const auto& [address, disc] : state.discs) {
        std::string where;
        if (state.slots.contains(address))
            where = "slot " + std::to_string(address - state.slots.first + 1);
        else if (state.drives.contains(address))
            where = "drive " + std::to_string(address - state.drives.first);
        else if (state.ports.contains(address))
            where = "port " + std::to_string(address - state.ports.first);
        else
            where = "transport " + std::to_string(address - state.transports.first);
        places += (places.empty() ? "" : " ") + where + "=" + std::to_string(disc.id);
    }
    return places;
}

void prepareAlike(std::initializer_list<SimJukebox*> jukeboxes, const std::vector<std::vector<std::string>>& setups,
                  const std::vector<aspi::sim::Fault>& faults) {
    for (SimJukebox* jukebox : jukeboxes) {
        for (const std::vector<std::string>& setup : setups) {
            std::vector<std::string> line = {"-f", "0:0:0"};
            line.insert(line.end(), setup.begin(), setup.end());
            const ProcessResult result = jukebox->run(line);
            ASSERT_EQ(result.exitCode, 0) << testing::PrintToString(setup) << "\n" << result.err;
        }
        jukebox->edit([&](aspi::sim::JukeboxState& state) { state.faults = faults; });
    }
}

}  // namespace karvel::ctl::test
