// SPDX-License-Identifier: MIT
#include "sim_transport.h"

#include <algorithm>
#include <cstdio>

#include "command_timeout.h"
#include "outside_text.h"
#include "scsi_codes.h"

namespace aspi {

std::vector<std::unique_ptr<Transport>> makeSimTransports(const TransportLine& line) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(std::make_unique<sim::SimTransport>(sim::parseSimLine(line)));
    return adapters;
}

namespace sim {

SimTransport::SimTransport(SimSettings settings)
    : m_settings(std::move(settings)),
      m_file(m_settings.statePath),
      m_device(m_settings.behaviour),
      m_target(m_settings.seed.target),
      m_lun(m_settings.seed.lun) {
    refresh();
}

void SimTransport::refresh() {
    try {
        auto hold = m_file.lock(lockWait(karvel::scsi::TEST_UNIT_READY));
        currentState();
    } catch (const StateError& error) {
        report(error.what());
    }
}

void SimTransport::report(const std::string& fault) {
    m_cacheValid = false;
    if (fault == m_reportedFault) return;
    m_reportedFault = fault;
    std::fprintf(stderr, "wnaspi32: sim: %s\n", karvel::escapeText(fault).c_str());
}

JukeboxState& SimTransport::currentState() {
    auto text = m_file.read();
    if (!text) {
        m_cached = seededState(m_settings.seed);
        m_cachedText = formatState(m_cached);
        m_cacheValid = false;
        m_file.write(m_cachedText);
    } else if (!m_cacheValid || *text != m_cachedText) {
        m_cacheValid = false;
        try {
            m_cached = parseState(*text);
        } catch (const StateError& error) {
            throw StateError(m_file.path() + ": " + error.what());
        }
        m_cachedText = std::move(*text);
    }
    m_cacheValid = true;
    m_reportedFault.clear();
    m_target = m_cached.target;
    m_lun = m_cached.lun;
    return m_cached;
}

void SimTransport::persist(JukeboxState& state, const std::vector<uint8_t>& firmware) {
    m_cacheValid = false;  // until the file holds what memory holds
    // The new image waits beside the old one until the state that names it is written, so a
    // failed state write leaves the old image with the old state.
    if (!firmware.empty()) m_file.stageFirmware(firmware);
    std::string text = formatState(state);
    try {
        m_file.write(text);
    } catch (...) {
        if (!firmware.empty()) m_file.discardFirmware();
        throw;
    }
    m_cachedText = std::move(text);
    m_cacheValid = true;
    // The state is committed; a failed rename here is completed by the next loadFirmware.
    if (!firmware.empty()) {
        try {
            m_file.commitFirmware();
        } catch (const StateError& error) {
            report(error.what());
        }
    }
}

std::chrono::milliseconds SimTransport::lockWait(uint8_t opcode) const {
    if (m_settings.lockWait) return *m_settings.lockWait;
    return commandTimeout(opcode);
}

CommandResult SimTransport::check(Condition condition) {
    m_initiator.lastSense = condition;
    CommandResult result;
    result.aspiStatus = SS_ERR;
    result.targetStatus = karvel::scsi::CHECK_CONDITION;
    auto sense = fixedSense(condition);
    result.senseLength = static_cast<uint8_t>(std::min(sense.size(), result.sense.size()));
    std::copy_n(sense.begin(), result.senseLength, result.sense.begin());
    return result;
}

CommandResult SimTransport::execute(const CommandRequest& request) {
    std::lock_guard guard(m_mutex);
    if (request.target != m_target || request.lun != m_lun) {
        CommandResult none;
        none.aspiStatus = SS_NO_DEVICE;
        none.hostStatus = HASTAT_SEL_TO;
        return none;
    }
    if (request.cdb.empty()) return check(condition::kInvalidOpcode);
    uint8_t opcode = request.cdb[0];
    const CommandEntry* entry = ChangerDevice::find(opcode);
    if (opcode != karvel::scsi::REQUEST_SENSE) m_initiator.lastSense.reset();
    if (!(entry && entry->beforeAttention) && m_initiator.unitAttention) {
        m_initiator.unitAttention = false;
        return check(condition::kPowerOnReset);
    }
    if (!entry) return check(condition::kInvalidOpcode);
    if (request.cdb.size() < entry->cdbLength) return check(condition::kInvalidField);

    Command command{request.cdb, request.data, nullptr, &m_initiator, false, {}};
    Outcome outcome;
    if (entry->state == StateUse::none) {
        outcome = m_device.run(*entry, command);
    } else {
        try {
            auto hold = m_file.lock(lockWait(opcode));
            JukeboxState& state = currentState();
            command.state = &state;
            auto fault = std::find_if(state.faults.begin(), state.faults.end(), [&](const Fault& f) {
                return f.opcode ? *f.opcode == opcode : !entry->beforeAttention;
            });
            if (fault != state.faults.end()) {
                Fault hit = *fault;
                outcome = Outcome::fail({hit.key, hit.asc, hit.ascq});
                if (hit.count == 1) state.faults.erase(fault);
                else if (hit.count > 1) --fault->count;
                command.changed = hit.count != 0;
            } else {
                outcome = m_device.run(*entry, command);
            }
            if (command.changed) persist(state, command.firmware);
        } catch (const LockTimeout& error) {
            // Another program holds the jukebox (a stopped one would hold it for ever): the
            // request ends as a timeout, as a real changer's would.
            report(error.what());
            CommandResult timedOut;
            timedOut.aspiStatus = SS_ABORTED;
            return timedOut;
        } catch (const StateError& error) {
            report(error.what());
            if (entry->state == StateUse::required) return check(condition::kNonVolatileBad);
            command.state = nullptr;
            outcome = m_device.run(*entry, command);
        }
    }

    switch (outcome.kind) {
    case Outcome::good: return CommandResult{};
    case Outcome::check: return check(outcome.sense);
    case Outcome::shortData: break;
    }
    CommandResult underrun;
    underrun.aspiStatus = SS_ERR;
    underrun.hostStatus = HASTAT_DO_DU;
    return underrun;
}

std::optional<uint8_t> SimTransport::deviceType(uint8_t target, uint8_t lun) {
    std::lock_guard guard(m_mutex);
    if (target == m_target && lun == m_lun) return karvel::scsi::kMediumChangerType;
    return std::nullopt;
}

void SimTransport::beginScan() {
    std::lock_guard guard(m_mutex);
    refresh();
}

}  // namespace sim
}  // namespace aspi
