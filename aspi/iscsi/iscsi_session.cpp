// SPDX-License-Identifier: MIT
#include "iscsi_session.h"

#include <iscsi/iscsi.h>
#include <iscsi/scsi-lowlevel.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "command_outcome.h"

namespace aspi {

namespace {

constexpr const char* kInitiatorName = "iqn.2024-01.org.karvel:wnaspi32";
// Longest single poll; libiscsi wants to be serviced now and then even when nothing arrives.
constexpr std::chrono::milliseconds kPollSlice{1000};

}  // namespace

IscsiSession::IscsiSession(const IscsiPortal& portal) : m_password(portal.password) {}

IscsiSession::~IscsiSession() {
    if (m_context) iscsi_destroy_context(m_context);
}

void IscsiSession::onStep(iscsi_context*, int status, void*, void* step) {
    auto* state = static_cast<Step*>(step);
    state->done = true;
    state->status = status;
}

void IscsiSession::onDiscovery(iscsi_context*, int status, void* data, void* step) {
    auto* state = static_cast<Step*>(step);
    state->done = true;
    state->status = status;
    if (status != SCSI_STATUS_GOOD) return;
    // The list is libiscsi's and is freed when this returns.
    for (auto* entry = static_cast<iscsi_discovery_address*>(data); entry; entry = entry->next)
        state->targets.emplace_back(entry->target_name);
}

std::string IscsiSession::lastError() const {
    if (m_socketError) return std::strerror(m_socketError);
    std::string text = m_context ? iscsi_get_error(m_context) : "cannot create an iSCSI context";
    if (text.empty()) text = "no answer";
    if (!m_password.empty())
        for (size_t at; (at = text.find(m_password)) != std::string::npos;) text.replace(at, m_password.size(), "***");
    return text;
}

std::string IscsiSession::failure(const char* step, Wait wait, std::chrono::milliseconds allowed) const {
    if (wait == Wait::timedOut) return std::string(step) + ": no answer within " + std::to_string(allowed.count()) + " ms";
    return std::string(step) + ": " + lastError();
}

IscsiSession::Wait IscsiSession::pump(const Step& step, Clock::time_point deadline) {
    using namespace std::chrono;
    while (!step.done) {
        if (m_broken) return Wait::failed;
        auto now = Clock::now();
        if (now >= deadline) return Wait::timedOut;
        int slice = static_cast<int>(std::min(ceil<milliseconds>(deadline - now), kPollSlice).count());
        pollfd descriptor{iscsi_get_fd(m_context), static_cast<short>(iscsi_which_events(m_context)), 0};
        int ready = descriptor.events ? ::poll(&descriptor, 1, slice) : ::poll(nullptr, 0, std::min(slice, 100));
        if (ready < 0 && errno != EINTR) return Wait::failed;
        if (ready > 0 && (descriptor.revents & (POLLERR | POLLHUP))) {
            int error = 0;
            socklen_t length = sizeof error;
            if (::getsockopt(descriptor.fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error) m_socketError = error;
        }
        if (iscsi_service(m_context, ready > 0 ? descriptor.revents : 0) < 0) {
            m_broken = true;
            return Wait::failed;
        }
    }
    return Wait::done;
}

std::unique_ptr<IscsiSession> IscsiSession::open(const IscsiPortal& portal, const std::string& target,
                                                 std::chrono::milliseconds allowed, std::string& error) {
    auto deadline = Clock::now() + allowed;
    std::unique_ptr<IscsiSession> session(new IscsiSession(portal));
    iscsi_context* context = iscsi_create_context(kInitiatorName);
    session->m_context = context;
    if (!context) {
        error = session->lastError();
        return nullptr;
    }
    iscsi_set_session_type(context, target.empty() ? ISCSI_SESSION_DISCOVERY : ISCSI_SESSION_NORMAL);
    if (!target.empty()) iscsi_set_targetname(context, target.c_str());
    iscsi_set_header_digest(context, ISCSI_HEADER_DIGEST_NONE);
    if (!portal.user.empty())
        iscsi_set_initiator_username_pwd(context, portal.user.c_str(), portal.password.c_str());
    // We reconnect ourselves, on the next request; libiscsi's own retries would wait unbounded.
    iscsi_set_noautoreconnect(context, 1);
    iscsi_set_reconnect_max_retries(context, 0);

    Step& step = session->m_step;
    std::string address = portal.address();
    step = {};
    Wait wait = Wait::failed;
    if (iscsi_connect_async(context, address.c_str(), onStep, &step) == 0) wait = session->pump(step, deadline);
    if (wait != Wait::done || step.status != SCSI_STATUS_GOOD) {
        error = session->failure("cannot connect", wait, allowed);
        return nullptr;
    }
    step = {};
    wait = Wait::failed;
    if (iscsi_login_async(context, onStep, &step) == 0) wait = session->pump(step, deadline);
    if (wait != Wait::done || step.status != SCSI_STATUS_GOOD) {
        error = session->failure("login failed", wait, allowed);
        return nullptr;
    }
    return session;
}

std::optional<std::vector<std::string>> IscsiSession::discover(std::chrono::milliseconds allowed,
                                                               std::string& error) {
    auto deadline = Clock::now() + allowed;
    m_step = {};
    Wait wait = Wait::failed;
    if (iscsi_discovery_async(m_context, onDiscovery, &m_step) == 0) wait = pump(m_step, deadline);
    if (wait != Wait::done || m_step.status != SCSI_STATUS_GOOD) {
        error = failure("discovery failed", wait, allowed);
        return std::nullopt;
    }
    return std::move(m_step.targets);
}

bool IscsiSession::usable() {
    if (m_broken || !m_context) return false;
    pollfd descriptor{iscsi_get_fd(m_context), POLLIN, 0};
    if (::poll(&descriptor, 1, 0) < 0) return true;
    if (descriptor.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    if (descriptor.revents & POLLIN) {
        char byte;
        ssize_t peeked = ::recv(descriptor.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) return false;
        if (iscsi_service(m_context, POLLIN) < 0) m_broken = true;
    }
    return !m_broken;
}

CommandResult IscsiSession::run(uint16_t lun, const CommandRequest& request, std::chrono::milliseconds timeout) {
    int direction = SCSI_XFER_NONE;
    if (!request.data.empty() && request.direction != DataDirection::none)
        direction = request.direction == DataDirection::in ? SCSI_XFER_READ : SCSI_XFER_WRITE;
    int length = direction == SCSI_XFER_NONE ? 0 : static_cast<int>(request.data.size());

    scsi_task* task = scsi_create_task(static_cast<int>(request.cdb.size()),
                                       const_cast<unsigned char*>(request.cdb.data()), direction, length);
    if (!task) return commandResult(HostCondition::otherFailure, 0, {});
    // Data in lands straight in the caller's buffer; data out is sent from it.
    if (direction == SCSI_XFER_READ) scsi_task_add_data_in_buffer(task, length, request.data.data());
    iscsi_data out{static_cast<size_t>(length), request.data.data()};

    m_step = {};
    if (iscsi_scsi_command_async(m_context, lun, task, onStep, direction == SCSI_XFER_WRITE ? &out : nullptr,
                                 &m_step) != 0) {
        scsi_free_scsi_task(task);
        m_broken = true;
        return commandResult(HostCondition::busFree, 0, {});
    }
    Wait wait = pump(m_step, Clock::now() + timeout);
    if (wait != Wait::done) {
        iscsi_scsi_cancel_task(m_context, task);
        scsi_free_scsi_task(task);
        m_broken = true;  // the target may still act on it: start afresh
        return commandResult(wait == Wait::timedOut ? HostCondition::timedOut : HostCondition::busFree, 0, {});
    }

    CommandResult result;
    switch (m_step.status) {
    case SCSI_STATUS_CANCELLED:
    case SCSI_STATUS_ERROR:
        m_broken = true;
        result = commandResult(HostCondition::busFree, 0, {});
        break;
    case SCSI_STATUS_TIMEOUT:
        m_broken = true;
        result = commandResult(HostCondition::timedOut, 0, {});
        break;
    case SCSI_STATUS_REDIRECT:
        m_broken = true;
        result = commandResult(HostCondition::otherFailure, 0, {});
        break;
    default: {
        // The sense arrives as the response's data: two length bytes, then the sense bytes.
        std::span<const uint8_t> sense;
        if (m_step.status == SCSI_STATUS_CHECK_CONDITION && task->datain.size > 2 && task->datain.data) {
            size_t senseLength = (size_t{task->datain.data[0]} << 8) | task->datain.data[1];
            sense = {task->datain.data + 2, std::min(senseLength, static_cast<size_t>(task->datain.size - 2))};
        }
        // A residual overflow only says the target had more than the allocation length let it
        // send, which SCSI allows (tgt sets it for every truncated report): not an error.
        result = commandResult(HostCondition::ok, static_cast<uint8_t>(m_step.status), sense);
    }
    }
    scsi_free_scsi_task(task);
    return result;
}

}  // namespace aspi
