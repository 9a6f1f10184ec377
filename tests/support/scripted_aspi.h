// SPDX-License-Identifier: MIT
// A scripted stand-in for the ASPI layer in test executables. Linking the `scripted_aspi`
// library puts SendASPI32Command, GetASPI32SupportInfo and GetASPI32LayerFault into the
// executable, exported, so they take precedence over libwnaspi32.so's for the whole process,
// including the calls that libnevsel.so and libostrik.so make. Create one ScriptedAspi per
// test: the entries forward to it while it lives (without one: not ready, no adapter).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <karvel/wnaspi32.h>

namespace karvel::test {

// What the fake saw of one execute request.
struct SeenRequest {
    uint8_t haId = 0, target = 0, lun = 0, flags = 0;
    std::vector<uint8_t> cdb;      // the first SRB_CDBLen bytes of CDBByte
    uint32_t bufLen = 0;           // SRB_BufLen
    const uint8_t* buffer = nullptr;  // SRB_BufPointer
    std::vector<uint8_t> dataOut;  // a copy of the buffer, for data-out operation codes
};

// What the fake saw of one get-device-type probe.
struct SeenProbe {
    uint8_t haId = 0, target = 0, lun = 0;
};

// How the fake answers one execute request.
struct Reply {
    uint8_t status = SS_COMP;
    uint8_t hostStatus = HASTAT_OK;
    uint8_t targetStatus = 0;
    std::vector<uint8_t> sense;    // into SenseArea, at most SRB_SenseLen bytes
    std::vector<uint8_t> dataIn;   // into the caller's buffer, at most SRB_BufLen bytes
    bool completeLater = false;    // return with status 0, finish from another thread
                                   // (the block must outlive it: waitForLateCompletions)
    bool throwOnSubmit = false;    // SendASPI32Command throws std::runtime_error

    // Returns a reply of SS_ERR, CHECK CONDITION and fixed-format sense data.
    static Reply checkCondition(uint8_t senseKey, uint8_t asc, uint8_t ascq);
};

// Returns a zeroed request block addressed to haId/target/lun, SRB_Flags 0 (poll for completion).
SRBunion addressedBlock(uint8_t haId, uint8_t target, uint8_t lun);

class ScriptedAspi {
public:
    // Becomes the target of the two entries; only one may live at a time.
    ScriptedAspi();
    // Waits for late completions, then lets the entries fall back to "not ready".
    ~ScriptedAspi();
    ScriptedAspi(const ScriptedAspi&) = delete;
    ScriptedAspi& operator=(const ScriptedAspi&) = delete;

    // Queues the answer to the next execute request; queued replies are used in order.
    void queue(Reply reply);
    // Answers execute requests once the queue is empty (default: completed, GOOD, no data).
    void answerWith(std::function<Reply(const SeenRequest&)> responder);
    // GetASPI32SupportInfo's result (default 0101h: ready, one host adapter).
    void setSupportValue(uint32_t value);
    // Makes GetASPI32SupportInfo throw std::runtime_error.
    void throwOnSupportQuery();
    // GetASPI32LayerFault's reason (default: none).
    void setLayerFault(std::string fault);
    // Answers get-device-type probes of this address with type and status (others:
    // SS_NO_DEVICE; host adapters beyond the support value's count: SS_INVALID_HA). A status
    // other than SS_COMP still writes the type, as a layer may leave it.
    void addDevice(uint8_t haId, uint8_t target, uint8_t lun, uint8_t deviceType, uint8_t status = SS_COMP);

    // Returns a copy of the execute requests seen so far, oldest first.
    std::vector<SeenRequest> requests() const;
    // Returns a copy of the probes seen so far, oldest first.
    std::vector<SeenProbe> probes() const;
    // Returns how often GetASPI32SupportInfo was called.
    int supportQueries() const;
    // Blocks until every late completion has been written.
    void waitForLateCompletions();

    // For the entries.
    uint32_t supportInfo();
    std::string layerFault() const;
    uint32_t send(SRBunion* srb);

private:
    struct Device {
        SeenProbe address;
        uint8_t type;
        uint8_t status;
    };
    uint8_t probe(SRB_GDEVBlock& block);
    uint8_t execute(SRB_ExecSCSICmd& block);

    mutable std::mutex m_lock;
    std::deque<Reply> m_queued;
    std::function<Reply(const SeenRequest&)> m_responder;
    uint32_t m_supportValue = 0x0101;
    bool m_throwOnSupport = false;
    std::string m_layerFault;
    int m_supportQueries = 0;
    std::vector<Device> m_devices;
    std::vector<SeenRequest> m_requests;
    std::vector<SeenProbe> m_probes;
    std::vector<std::thread> m_lateCompletions;
};

}  // namespace karvel::test
