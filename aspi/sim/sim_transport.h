// SPDX-License-Identifier: MIT
// The sim transport: one host adapter whose only device is a simulated disc changer, kept
// in a state file that any number of programs may share.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "changer_device.h"
#include "state_file.h"
#include "transport.h"

namespace aspi {

// Builds the host adapter of a "sim" configuration line; throws ConfigError for a bad line.
std::vector<std::unique_ptr<Transport>> makeSimTransports(const TransportLine& line);

namespace sim {

class SimTransport : public Transport {
public:
    // Opens (or seeds) the jukebox of settings; a damaged state file is reported, not fatal.
    explicit SimTransport(SimSettings settings);

    CommandResult execute(const CommandRequest& request) override;
    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override;
    void beginScan() override;

private:
    // Returns the current state, read again when the file changed; seeds a missing file.
    // Call with the lock held; throws StateError.
    JukeboxState& currentState();
    void persist(JukeboxState& state, const std::vector<uint8_t>& firmware);
    void refresh();
    // How long a command with this operation code waits for the jukebox's lock.
    std::chrono::milliseconds lockWait(uint8_t opcode) const;
    void report(const std::string& fault);
    CommandResult check(Condition condition);

    std::mutex m_mutex;
    SimSettings m_settings;
    StateFile m_file;
    ChangerDevice m_device;
    Initiator m_initiator;
    uint8_t m_target;
    uint8_t m_lun;
    bool m_cacheValid = false;
    std::string m_cachedText;
    JukeboxState m_cached;
    std::string m_reportedFault;
};

}  // namespace sim
}  // namespace aspi
