// SPDX-License-Identifier: MIT
// One libiscsi connection (a discovery session or a session with one target), driven by our
// own poll loop so that every wait has a deadline: a dead target cannot hold a caller forever.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "aspi_config/iscsi_portal.h"
#include "transport.h"

struct iscsi_context;

namespace aspi {

class IscsiSession {
public:
    using Clock = std::chrono::steady_clock;

    // Connects to portal and logs in, to target or (target empty) for discovery, giving up after
    // allowed. Returns the session, or nothing with error set (never containing the secret).
    static std::unique_ptr<IscsiSession> open(const IscsiPortal& portal, const std::string& target,
                                              std::chrono::milliseconds allowed, std::string& error);
    ~IscsiSession();
    IscsiSession(const IscsiSession&) = delete;
    IscsiSession& operator=(const IscsiSession&) = delete;

    // Returns the portal's targets in the order it lists them, or nothing with error set when
    // there is no answer within allowed.
    std::optional<std::vector<std::string>> discover(std::chrono::milliseconds allowed, std::string& error);

    // Runs one command on lun; the result is SS_ABORTED when it does not end within timeout
    // and the connection is then unusable, as it is after any failure of the connection.
    CommandResult run(uint16_t lun, const CommandRequest& request, std::chrono::milliseconds timeout);

    // Returns whether the connection is still up, taking in anything the target sent unasked;
    // a connection the target closed while we were idle shows here, before a command is lost on it.
    bool usable();

private:
    struct Step {
        bool done = false;
        int status = 0;
        std::vector<std::string> targets;  // a discovery's answer, copied while libiscsi holds it
    };
    enum class Wait { done, timedOut, failed };

    explicit IscsiSession(const IscsiPortal& portal);
    Wait pump(const Step& step, Clock::time_point deadline);
    std::string lastError() const;
    std::string failure(const char* step, Wait wait, std::chrono::milliseconds allowed) const;
    static void onStep(iscsi_context*, int status, void* data, void* step);
    static void onDiscovery(iscsi_context*, int status, void* data, void* step);

    iscsi_context* m_context = nullptr;
    std::string m_password;  // scrubbed from every error text
    Step m_step;             // lives as long as the context, which may call back until it is destroyed
    bool m_broken = false;
    int m_socketError = 0;  // what the socket itself reported: clearer than libiscsi's words
};

}  // namespace aspi
