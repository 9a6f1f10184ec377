// SPDX-License-Identifier: MIT
#include "iscsi_transport.h"
#include "outside_text.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>

#include "iscsi_session.h"
#include "scsi_codes.h"
#include "command_outcome.h"
#include "command_timeout.h"

namespace aspi {

namespace {

constexpr uint8_t kInquiryLength = 36;
constexpr uint8_t kQualifierConnected = 0;
constexpr uint8_t kResetAsc = 0x29;

// Whether result is a CHECK CONDITION with UNIT ATTENTION and ASC 29h (power on, reset or bus
// device reset occurred), in fixed or descriptor sense.
bool is_reset_attention(const CommandResult& result) {
    if (result.aspiStatus != SS_ERR || result.targetStatus != karvel::scsi::CHECK_CONDITION) return false;
    const uint8_t code = result.senseLength > 0 ? result.sense[0] & 0x7F : 0;
    if ((code == 0x70 || code == 0x71) && result.senseLength > 12)
        return (result.sense[2] & 0x0F) == karvel::scsi::UNIT_ATTENTION && result.sense[12] == kResetAsc;
    if ((code == 0x72 || code == 0x73) && result.senseLength > 2)
        return (result.sense[1] & 0x0F) == karvel::scsi::UNIT_ATTENTION && result.sense[2] == kResetAsc;
    return false;
}

class IscsiTransport final : public Transport {
public:
    IscsiTransport(IscsiPortal portal, IscsiTiming timing) : portal_(std::move(portal)), timing_(timing) {
        // A named target is logged in to directly: portals that refuse or hide SendTargets
        // still serve it, and its id (0) does not depend on what else the portal lists.
        if (!portal_.target.empty()) {
            targets_ = {portal_.target};
            discovered_ = true;
        }
    }

    CommandResult execute(const CommandRequest& request) override {
        std::lock_guard lock(mutex_);
        IscsiSession* session = session_for(request.target, false);
        if (!session) return no_device_result();
        SessionHistory& history = histories_[request.target];
        // Only the first command to a LUN on a session that replaced an earlier one may meet the
        // unit attention that the new login itself causes.
        const bool firstAfterReconnect = history.reestablished && history.answeredLuns.insert(request.lun).second;
        CommandResult result = session->run(request.lun, request, timeout_of(request.cdb[0]));
        // That unit attention (29h: power on, reset, bus device reset) means the target did not
        // perform the command, so sending it again once cannot do it twice. After any other
        // error a command (a MOVE MEDIUM above all) may have been performed: never again.
        if (firstAfterReconnect && is_reset_attention(result) && session->usable())
            result = session->run(request.lun, request, timeout_of(request.cdb[0]));
        return result;
    }

    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override {
        std::lock_guard lock(mutex_);
        IscsiSession* session = session_for(target, true);
        if (!session) return std::nullopt;
        uint8_t cdb[6] = {karvel::scsi::INQUIRY, 0, 0, 0, kInquiryLength, 0};
        uint8_t data[kInquiryLength]{};
        CommandRequest inquiry{target, lun, cdb, DataDirection::in, data};
        CommandResult result = session->run(lun, inquiry, timeout_of(karvel::scsi::INQUIRY));
        if (result.aspiStatus != SS_COMP || (data[0] >> 5) != kQualifierConnected) return std::nullopt;
        return static_cast<uint8_t>(data[0] & 0x1F);
    }

    void beginScan() override {
        std::lock_guard lock(mutex_);
        portalFailedThisScan_ = false;
        targetsFailedThisScan_.clear();
        // A portal that listed nothing may have targets by now; ids stay as first found otherwise.
        if (targets_.empty()) discovered_ = false;
    }

private:
    std::chrono::milliseconds timeout_of(uint8_t opcode) const {
        return timing_.command.value_or(std::chrono::duration_cast<std::chrono::milliseconds>(command_timeout(opcode)));
    }

    // Returns the live session for target, opening it (after discovery) when needed, or null.
    // During a scan a portal or target that failed is not tried again until the next scan.
    IscsiSession* session_for(uint8_t target, bool probing) {
        if (!discover(probing) || target >= targets_.size()) return nullptr;
        if (sessions_.size() < targets_.size()) sessions_.resize(targets_.size());
        auto& session = sessions_[target];
        if (session && session->usable()) return session.get();
        session.reset();
        if (probing && targetsFailedThisScan_.count(target)) return nullptr;

        std::string error;
        session = IscsiSession::open(portal_, targets_[target], timing_.connect, error);
        std::string subject = portal_.url() + " target " + targets_[target];
        if (!session) {
            targetsFailedThisScan_.insert(target);
            complain_once(subject, error);
            return nullptr;
        }
        complained_.erase(subject);
        SessionHistory& history = histories_[target];
        history.reestablished = history.opened;
        history.opened = true;
        history.answeredLuns.clear();
        return session.get();
    }

    bool discover(bool probing) {
        if (discovered_) return true;
        if (probing && portalFailedThisScan_) return false;
        std::string error;
        auto session = IscsiSession::open(portal_, {}, timing_.connect, error);
        std::optional<std::vector<std::string>> targets;
        if (session) targets = session->discover(timing_.connect, error);
        if (!targets) {
            portalFailedThisScan_ = true;
            complain_once(portal_.url(), error);
            return false;
        }
        complained_.erase(portal_.url());
        targets_ = std::move(*targets);
        discovered_ = true;
        return true;
    }

    // Says once what went wrong with subject, until it works again.
    void complain_once(const std::string& subject, const std::string& error) {
        if (!complained_.insert(subject).second) return;
        std::fprintf(stderr, "wnaspi32: %s\n", karvel::escapeText(subject + ": " + error).c_str());
    }

    // What the transport knows of a target's sessions, for the unit attention after a reconnect.
    struct SessionHistory {
        bool opened = false;         // a session to the target was open before
        bool reestablished = false;  // the current session replaced an earlier one
        std::set<uint8_t> answeredLuns;  // LUNs that have had a command on the current session
    };

    const IscsiPortal portal_;
    const IscsiTiming timing_;
    std::vector<std::string> targets_;
    bool discovered_ = false;
    std::vector<std::unique_ptr<IscsiSession>> sessions_;
    bool portalFailedThisScan_ = false;
    std::set<uint8_t> targetsFailedThisScan_;
    std::set<std::string> complained_;
    std::map<uint8_t, SessionHistory> histories_;
    std::mutex mutex_;
};

}  // namespace

std::unique_ptr<Transport> make_iscsi_transport(const IscsiPortal& portal, IscsiTiming timing) {
    return std::make_unique<IscsiTransport>(portal, timing);
}

std::vector<std::unique_ptr<Transport>> make_iscsi_transports(const TransportLine& line) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(make_iscsi_transport(parse_iscsi_line(line), IscsiTiming{}));
    return adapters;
}

}  // namespace aspi
