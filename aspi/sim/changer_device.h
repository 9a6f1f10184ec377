// SPDX-License-Identifier: MIT
// The simulated medium changer's command set: one handler per operation code, looked up in
// a table that the transport and the tests both read. Handlers work on a JukeboxState that
// the transport has loaded under the jukebox's lock, and say whether they changed it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jukebox_state.h"
#include "sense_condition.h"
#include "sim_config.h"

namespace aspi::sim {

// What one initiator (one program that opened the jukebox) has pending.
struct Initiator {
    bool unitAttention = true;          // reported once, on its first command but two
    std::optional<Condition> lastSense;  // of its last CHECK CONDITION, for REQUEST SENSE
};

struct Command {
    std::span<const uint8_t> cdb;   // at least the table's length for its opcode
    std::span<uint8_t> data;        // the caller's buffer, either direction
    JukeboxState* state = nullptr;  // null only for commands that can do without it
    Initiator* initiator = nullptr;
    bool changed = false;           // set by a handler that changed *state
    std::vector<uint8_t> firmware;  // a downloaded image, to store before the state
};

struct Outcome {
    enum Kind : uint8_t { good, check, shortData } kind = good;
    Condition sense{};

    static Outcome ok() { return {}; }
    static Outcome fail(Condition c) { return {check, c}; }
    // The data-out buffer is shorter than the CDB's parameter list.
    static Outcome underrun() { return {shortData, {}}; }
};

enum class StateUse : uint8_t { none, optional, required };

class ChangerDevice;

struct CommandEntry {
    uint8_t opcode;
    uint8_t cdbLength;
    StateUse state;
    bool beforeAttention;  // answered even while a unit attention is pending
    Outcome (ChangerDevice::*run)(Command&) const;
    const char* name;
};

class ChangerDevice {
public:
    explicit ChangerDevice(Behaviour behaviour) : m_behaviour(behaviour) {}

    // Returns the operation codes the changer knows, with their handlers.
    static std::span<const CommandEntry> commands();
    // Returns the entry for opcode, or null for an unknown operation code.
    static const CommandEntry* find(uint8_t opcode);

    Outcome run(const CommandEntry& entry, Command& command) const { return (this->*entry.run)(command); }

    Outcome testUnitReady(Command&) const;
    Outcome rezeroUnit(Command&) const;
    Outcome requestSense(Command&) const;
    Outcome initializeElementStatus(Command&) const;
    Outcome inquiry(Command&) const;
    Outcome modeSelect6(Command&) const;
    Outcome modeSense6(Command&) const;
    Outcome positionToElement(Command&) const;
    Outcome writeBuffer(Command&) const;
    Outcome readBuffer(Command&) const;
    Outcome modeSelect10(Command&) const;
    Outcome modeSense10(Command&) const;
    Outcome moveMedium(Command&) const;
    Outcome exchangeMedium(Command&) const;
    Outcome readElementStatus(Command&) const;

private:
    Outcome modeSense(Command&, bool ten) const;
    Outcome modeSelect(Command&, bool ten) const;
    void pause(std::chrono::milliseconds time) const;

    Behaviour m_behaviour;
};

// INQUIRY identity of the simulated changer.
inline constexpr char kVendor[] = "KARVEL  ";          // 8 characters, blank-padded
inline constexpr char kProduct[] = "DISC JUKEBOX    ";  // 16 characters
inline constexpr uint32_t kFirmwareImageLength = 131072;
inline constexpr uint8_t kFirmwareBufferId = 15;

}  // namespace aspi::sim
