// SPDX-License-Identifier: MIT
#include "scripted_aspi.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>

#include "opcode_direction.h"
#include "scsi_codes.h"

namespace karvel::test {

namespace {

std::atomic<ScriptedAspi*> current{nullptr};

void publishStatus(uint8_t& field, uint8_t value) {
    std::atomic_ref<uint8_t>(field).store(value, std::memory_order_release);
}

// Writes the reply's outcome into the block; the status byte goes last, as the real layer does.
void complete(SRB_ExecSCSICmd& block, const Reply& reply) {
    block.SRB_HaStat = reply.hostStatus;
    block.SRB_TargStat = reply.targetStatus;
    size_t senseBytes = std::min({reply.sense.size(), size_t{block.SRB_SenseLen}, sizeof block.SenseArea});
    std::copy_n(reply.sense.begin(), senseBytes, block.SenseArea);
    if (block.SRB_BufPointer) {
        size_t dataBytes = std::min(reply.dataIn.size(), size_t{block.SRB_BufLen});
        std::copy_n(reply.dataIn.begin(), dataBytes, block.SRB_BufPointer);
    }
    publishStatus(block.SRB_Status, reply.status);
}

}  // namespace

Reply Reply::checkCondition(uint8_t senseKey, uint8_t asc, uint8_t ascq) {
    Reply reply;
    reply.status = SS_ERR;
    reply.targetStatus = scsi::CHECK_CONDITION;
    reply.sense.assign(18, 0);
    reply.sense[0] = 0x70;
    reply.sense[2] = senseKey;
    reply.sense[7] = 10;
    reply.sense[12] = asc;
    reply.sense[13] = ascq;
    return reply;
}

SRBunion addressedBlock(uint8_t haId, uint8_t target, uint8_t lun) {
    SRBunion srb{};
    srb.exec.SRB_HaId = haId;
    srb.exec.SRB_Target = target;
    srb.exec.SRB_Lun = lun;
    return srb;
}

ScriptedAspi::ScriptedAspi() {
    ScriptedAspi* expected = nullptr;
    if (!current.compare_exchange_strong(expected, this))
        throw std::logic_error("only one ScriptedAspi may live at a time");
}

ScriptedAspi::~ScriptedAspi() {
    waitForLateCompletions();
    current.store(nullptr);
}

void ScriptedAspi::queue(Reply reply) {
    std::lock_guard hold(m_lock);
    m_queued.push_back(std::move(reply));
}

void ScriptedAspi::answerWith(std::function<Reply(const SeenRequest&)> responder) {
    std::lock_guard hold(m_lock);
    m_responder = std::move(responder);
}

void ScriptedAspi::setSupportValue(uint32_t value) {
    std::lock_guard hold(m_lock);
    m_supportValue = value;
}

void ScriptedAspi::throwOnSupportQuery() {
    std::lock_guard hold(m_lock);
    m_throwOnSupport = true;
}

void ScriptedAspi::setLayerFault(std::string fault) {
    std::lock_guard hold(m_lock);
    m_layerFault = std::move(fault);
}

std::string ScriptedAspi::layerFault() const {
    std::lock_guard hold(m_lock);
    return m_layerFault;
}

void ScriptedAspi::addDevice(uint8_t haId, uint8_t target, uint8_t lun, uint8_t deviceType, uint8_t status) {
    std::lock_guard hold(m_lock);
    m_devices.push_back({{haId, target, lun}, deviceType, status});
}

std::vector<SeenRequest> ScriptedAspi::requests() const {
    std::lock_guard hold(m_lock);
    return m_requests;
}

std::vector<SeenProbe> ScriptedAspi::probes() const {
    std::lock_guard hold(m_lock);
    return m_probes;
}

int ScriptedAspi::supportQueries() const {
    std::lock_guard hold(m_lock);
    return m_supportQueries;
}

void ScriptedAspi::waitForLateCompletions() {
    std::vector<std::thread> threads;
    {
        std::lock_guard hold(m_lock);
        threads.swap(m_lateCompletions);
    }
    for (auto& thread : threads) thread.join();
}

uint32_t ScriptedAspi::supportInfo() {
    std::lock_guard hold(m_lock);
    ++m_supportQueries;
    if (m_throwOnSupport) throw std::runtime_error("scripted support query failure");
    return m_supportValue;
}

uint32_t ScriptedAspi::send(SRBunion* srb) {
    uint8_t status;
    switch (srb->exec.SRB_Cmd) {
    case SC_GET_DEV_TYPE:
        status = probe(srb->gdev);
        break;
    case SC_EXEC_SCSI_CMD:
        status = execute(srb->exec);
        break;
    default:
        status = SS_INVALID_CMD;
        publishStatus(srb->exec.SRB_Status, status);
        break;
    }
    return status;
}

uint8_t ScriptedAspi::probe(SRB_GDEVBlock& block) {
    std::lock_guard hold(m_lock);
    m_probes.push_back({block.SRB_HaId, block.SRB_Target, block.SRB_Lun});
    uint8_t status = SS_NO_DEVICE;
    if (block.SRB_HaId >= (m_supportValue & 0xFF)) {
        status = SS_INVALID_HA;
    } else {
        for (const auto& device : m_devices) {
            if (device.address.haId == block.SRB_HaId && device.address.target == block.SRB_Target &&
                device.address.lun == block.SRB_Lun) {
                block.SRB_DeviceType = device.type;
                status = device.status;
                break;
            }
        }
    }
    publishStatus(block.SRB_Status, status);
    return status;
}

uint8_t ScriptedAspi::execute(SRB_ExecSCSICmd& block) {
    SeenRequest seen;
    seen.haId = block.SRB_HaId;
    seen.target = block.SRB_Target;
    seen.lun = block.SRB_Lun;
    seen.flags = block.SRB_Flags;
    seen.cdb.assign(block.CDBByte, block.CDBByte + std::min<size_t>(block.SRB_CDBLen, sizeof block.CDBByte));
    seen.bufLen = block.SRB_BufLen;
    seen.buffer = block.SRB_BufPointer;
    if (block.SRB_BufPointer && aspi::directionOf(block.CDBByte[0]) == aspi::DataDirection::out)
        seen.dataOut.assign(block.SRB_BufPointer, block.SRB_BufPointer + block.SRB_BufLen);

    Reply reply;
    std::function<Reply(const SeenRequest&)> responder;
    {
        std::lock_guard hold(m_lock);
        m_requests.push_back(seen);
        if (!m_queued.empty()) {
            reply = std::move(m_queued.front());
            m_queued.pop_front();
        } else {
            responder = m_responder;
        }
    }
    if (responder) reply = responder(seen);
    if (reply.throwOnSubmit) throw std::runtime_error("scripted submit failure");

    if (!reply.completeLater) {
        complete(block, reply);
        return reply.status;
    }
    publishStatus(block.SRB_Status, SS_PENDING);
    std::lock_guard hold(m_lock);
    m_lateCompletions.emplace_back([&block, reply = std::move(reply)] {
        // Long enough that a caller which does not poll sees the request still pending.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        complete(block, reply);
    });
    return SS_PENDING;
}

// The entries, exported from the test executable so they win over libwnaspi32.so's.
extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32SupportInfo(void) {
    ScriptedAspi* aspi = current.load();
    return aspi ? aspi->supportInfo() : uint32_t{SS_FAILED_INIT} << 8;
}

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32LayerFault(char* text, uint32_t size) {
    ScriptedAspi* aspi = current.load();
    const std::string fault = aspi ? aspi->layerFault() : std::string();
    if (text && size > 0) {
        const size_t bytes = std::min<size_t>(fault.size(), size - 1);
        std::copy_n(fault.begin(), bytes, text);
        text[bytes] = '\0';
    }
    return static_cast<uint32_t>(fault.size());
}

extern "C" __attribute__((visibility("default"))) uint32_t SendASPI32Command(SRBunion* srb) {
    ScriptedAspi* aspi = current.load();
    if (aspi) return aspi->send(srb);
    publishStatus(srb->exec.SRB_Status, SS_INVALID_HA);
    return SS_INVALID_HA;
}

}  // namespace karvel::test
