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
bool isResetAttention(const CommandResult& result) {
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
    IscsiTransport(IscsiPortal portal, IscsiTiming timing) : m_portal(std::move(portal)), m_timing(timing) {
        // A named target is logged in to directly: portals that refuse or hide SendTargets
        // still serve it, and its id (0) does not depend on what else the portal lists.
        if (!m_portal.target.empty()) {
            m_targets = {m_portal.target};
            m_discovered = true;
        }
    }

    CommandResult execute(const CommandRequest& request) override {
        std::lock_guard lock(m_mutex);
        IscsiSession* session = sessionFor(request.target, false);
        if (!session) return noDeviceResult();
        SessionHistory& history = m_histories[request.target];
        // Only the first command to a LUN on a session that replaced an earlier one may meet the
        // unit attention that the new login itself causes.
        const bool firstAfterReconnect = history.reestablished && history.answeredLuns.insert(request.lun).second;
        CommandResult result = session->run(request.lun, request, timeoutOf(request.cdb[0]));
        // That unit attention (29h: power on, reset, bus device reset) means the target did not
        // perform the command, so sending it again once cannot do it twice. After any other
        // error a command (a MOVE MEDIUM above all) may have been performed: never again.
        if (firstAfterReconnect && isResetAttention(result) && session->usable())
            result = session->run(request.lun, request, timeoutOf(request.cdb[0]));
        return result;
    }

    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override {
        std::lock_guard lock(m_mutex);
        IscsiSession* session = sessionFor(target, true);
        if (!session) return std::nullopt;
        uint8_t cdb[6] = {karvel::scsi::INQUIRY, 0, 0, 0, kInquiryLength, 0};
        uint8_t data[kInquiryLength]{};
        CommandRequest inquiry{target, lun, cdb, DataDirection::in, data};
        CommandResult result = session->run(lun, inquiry, timeoutOf(karvel::scsi::INQUIRY));
        if (result.aspiStatus != SS_COMP || (data[0] >> 5) != kQualifierConnected) return std::nullopt;
        return static_cast<uint8_t>(data[0] & 0x1F);
    }

    void beginScan() override {
        std::lock_guard lock(m_mutex);
        m_portalFailedThisScan = false;
        m_targetsFailedThisScan.clear();
        // A portal that listed nothing may have targets by now; ids stay as first found otherwise.
        if (m_targets.empty()) m_discovered = false;
    }

private:
    std::chrono::milliseconds timeoutOf(uint8_t opcode) const {
        return m_timing.command.value_or(std::chrono::duration_cast<std::chrono::milliseconds>(commandTimeout(opcode)));
    }

    // Returns the live session for target, opening it (after discovery) when needed, or null.
    // During a scan a portal or target that failed is not tried again until the next scan.
    IscsiSession* sessionFor(uint8_t target, bool probing) {
        if (!discover(probing) || target >= m_targets.size()) return nullptr;
        if (m_sessions.size() < m_targets.size()) m_sessions.resize(m_targets.size());
        auto& session = m_sessions[target];
        if (session && session->usable()) return session.get();
        session.reset();
        if (probing && m_targetsFailedThisScan.count(target)) return nullptr;

        std::string error;
        session = IscsiSession::open(m_portal, m_targets[target], m_timing.connect, error);
        std::string subject = m_portal.url() + " target " + m_targets[target];
        if (!session) {
            m_targetsFailedThisScan.insert(target);
            complainOnce(subject, error);
            return nullptr;
        }
        m_complained.erase(subject);
        SessionHistory& history = m_histories[target];
        history.reestablished = history.opened;
        history.opened = true;
        history.answeredLuns.clear();
        return session.get();
    }

    bool discover(bool probing) {
        if (m_discovered) return true;
        if (probing && m_portalFailedThisScan) return false;
        std::string error;
        auto session = IscsiSession::open(m_portal, {}, m_timing.connect, error);
        std::optional<std::vector<std::string>> targets;
        if (session) targets = session->discover(m_timing.connect, error);
        if (!targets) {
            m_portalFailedThisScan = true;
            complainOnce(m_portal.url(), error);
            return false;
        }
        m_complained.erase(m_portal.url());
        m_targets = std::move(*targets);
        m_discovered = true;
        return true;
    }

    // Says once what went wrong with subject, until it works again.
    void complainOnce(const std::string& subject, const std::string& error) {
        if (!m_complained.insert(subject).second) return;
        std::fprintf(stderr, "wnaspi32: %s\n", karvel::escapeText(subject + ": " + error).c_str());
    }

    // What the transport knows of a target's sessions, for the unit attention after a reconnect.
    struct SessionHistory {
        bool opened = false;         // a session to the target was open before
        bool reestablished = false;  // the current session replaced an earlier one
        std::set<uint8_t> answeredLuns;  // LUNs that have had a command on the current session
    };

    const IscsiPortal m_portal;
    const IscsiTiming m_timing;
    std::vector<std::string> m_targets;
    bool m_discovered = false;
    std::vector<std::unique_ptr<IscsiSession>> m_sessions;
    bool m_portalFailedThisScan = false;
    std::set<uint8_t> m_targetsFailedThisScan;
    std::set<std::string> m_complained;
    std::map<uint8_t, SessionHistory> m_histories;
    std::mutex m_mutex;
};

}  // namespace

std::unique_ptr<Transport> makeIscsiTransport(const IscsiPortal& portal, IscsiTiming timing) {
    return std::make_unique<IscsiTransport>(portal, timing);
}

std::vector<std::unique_ptr<Transport>> makeIscsiTransports(const TransportLine& line) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(makeIscsiTransport(parseIscsiLine(line), IscsiTiming{}));
    return adapters;
}

}  // namespace aspi
