// SPDX-License-Identifier: MIT
#include "sim_transport.h"

#include <algorithm>
#include <cstdio>

#include "command_timeout.h"
#include "outside_text.h"
#include "scsi_codes.h"

namespace aspi {

std::vector<std::unique_ptr<Transport>> make_sim_transports(const TransportLine& line) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(std::make_unique<sim::SimTransport>(sim::parse_sim_line(line)));
    return adapters;
}

namespace sim {

SimTransport::SimTransport(SimSettings settings)
    : settings_(std::move(settings)),
      file_(settings_.statePath),
      device_(settings_.behaviour),
      target_(settings_.seed.target),
      lun_(settings_.seed.lun) {
    refresh();
}

void SimTransport::refresh() {
    try {
        auto hold = file_.lock(lock_wait(karvel::scsi::TEST_UNIT_READY));
        current_state();
    } catch (const StateError& error) {
        report(error.what());
    }
}

void SimTransport::report(const std::string& fault) {
    cacheValid_ = false;
    if (fault == reportedFault_) return;
    reportedFault_ = fault;
    std::fprintf(stderr, "wnaspi32: sim: %s\n", karvel::escapeText(fault).c_str());
}

JukeboxState& SimTransport::current_state() {
    auto text = file_.read();
    if (!text) {
        cached_ = seeded_state(settings_.seed);
        cachedText_ = format_state(cached_);
        cacheValid_ = false;
        file_.write(cachedText_);
    } else if (!cacheValid_ || *text != cachedText_) {
        cacheValid_ = false;
        try {
            cached_ = parse_state(*text);
        } catch (const StateError& error) {
            throw StateError(file_.path() + ": " + error.what());
        }
        cachedText_ = std::move(*text);
    }
    cacheValid_ = true;
    reportedFault_.clear();
    target_ = cached_.target;
    lun_ = cached_.lun;
    return cached_;
}

void SimTransport::persist(JukeboxState& state, const std::vector<uint8_t>& firmware) {
    cacheValid_ = false;  // until the file holds what memory holds
    // The new image waits beside the old one until the state that names it is written, so a
    // failed state write leaves the old image with the old state.
    if (!firmware.empty()) file_.stage_firmware(firmware);
    std::string text = format_state(state);
    try {
        file_.write(text);
    } catch (...) {
        if (!firmware.empty()) file_.discard_firmware();
        throw;
    }
    cachedText_ = std::move(text);
    cacheValid_ = true;
    // The state is committed; a failed rename here is completed by the next load_firmware.
    if (!firmware.empty()) {
        try {
            file_.commit_firmware();
        } catch (const StateError& error) {
            report(error.what());
        }
    }
}

std::chrono::milliseconds SimTransport::lock_wait(uint8_t opcode) const {
    if (settings_.lockWait) return *settings_.lockWait;
    return command_timeout(opcode);
}

CommandResult SimTransport::check(Condition condition) {
    initiator_.lastSense = condition;
    CommandResult result;
    result.aspiStatus = SS_ERR;
    result.targetStatus = karvel::scsi::CHECK_CONDITION;
    auto sense = fixed_sense(condition);
    result.senseLength = static_cast<uint8_t>(std::min(sense.size(), result.sense.size()));
    std::copy_n(sense.begin(), result.senseLength, result.sense.begin());
    return result;
}

CommandResult SimTransport::execute(const CommandRequest& request) {
    std::lock_guard guard(mutex_);
    if (request.target != target_ || request.lun != lun_) {
        CommandResult none;
        none.aspiStatus = SS_NO_DEVICE;
        none.hostStatus = HASTAT_SEL_TO;
        return none;
    }
    if (request.cdb.empty()) return check(condition::kInvalidOpcode);
    uint8_t opcode = request.cdb[0];
    const CommandEntry* entry = ChangerDevice::find(opcode);
    if (opcode != karvel::scsi::REQUEST_SENSE) initiator_.lastSense.reset();
    if (!(entry && entry->beforeAttention) && initiator_.unitAttention) {
        initiator_.unitAttention = false;
        return check(condition::kPowerOnReset);
    }
    if (!entry) return check(condition::kInvalidOpcode);
    if (request.cdb.size() < entry->cdbLength) return check(condition::kInvalidField);

    Command command{request.cdb, request.data, nullptr, &initiator_, false, {}};
    Outcome outcome;
    if (entry->state == StateUse::none) {
        outcome = device_.run(*entry, command);
    } else {
        try {
            auto hold = file_.lock(lock_wait(opcode));
            JukeboxState& state = current_state();
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
                outcome = device_.run(*entry, command);
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
            outcome = device_.run(*entry, command);
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
    std::lock_guard guard(mutex_);
    if (target == target_ && lun == lun_) return karvel::scsi::kMediumChangerType;
    return std::nullopt;
}

void SimTransport::beginScan() {
    std::lock_guard guard(mutex_);
    refresh();
}

}  // namespace sim
}  // namespace aspi
