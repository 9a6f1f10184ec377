// SPDX-License-Identifier: MIT
// The request block and the two ASPI entries: support query, block preparation,
// submission with a poll for completion, and the message-box hook.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "library_export.h"
#include <karvel/nevsel.h>

namespace {

constexpr char kNotReadyText[] = "ASPI unable to initialize! No ASPI service!";
constexpr char kCaption[] = "Nevsel";
constexpr uint32_t kCaughtSupportFailure = 0xFFFF;
constexpr uint32_t kFaultTextSize = 1024;  // a configuration path and a reason fit

std::atomic<NevselMessageBoxHook> messageBoxHook{nullptr};

struct SupportCache {
    std::mutex lock;
    bool filled = false;
    uint32_t value = 0;
};

SupportCache& supportCache() {
    static SupportCache cache;
    return cache;
}

// The layer is queried once per process; the flag is set first, so a query that throws
// is not repeated and leaves the value 0 (not ready).
uint32_t cachedSupportValue() {
    SupportCache& cache = supportCache();
    std::lock_guard hold(cache.lock);
    if (!cache.filled) {
        cache.filled = true;
        cache.value = GetASPI32SupportInfo();
    }
    return cache.value;
}

// The box keeps its text; the layer's own reason (its file and line) goes under the details,
// since the stderr line the layer wrote is lost on a desktop. Without a hook the text goes to
// stderr, beside the layer's own line there.
void showNotReady() {
    if (NevselMessageBoxHook hook = messageBoxHook.load()) {
        char detail[kFaultTextSize] = {};
        GetASPI32LayerFault(detail, sizeof detail);
        hook(kNotReadyText, kCaption, detail);
        return;
    }
    std::fprintf(stderr, "%s\n", kNotReadyText);
}

uint8_t loadStatus(SRBunion* srb) {
    return std::atomic_ref<uint8_t>(srb->exec.SRB_Status).load(std::memory_order_acquire);
}

}  // namespace

KARVEL_EXPORT uint32_t GetAspi32Info(void) {
    return karvel::guarded(kCaughtSupportFailure, [] {
        uint32_t value = cachedSupportValue();
        if (((value >> 8) & 0xFF) != SS_COMP) showNotReady();
        return value;
    });
}

KARVEL_EXPORT void InitSRBexecute(SRBunion* srb, uint8_t cdbLength) {
    karvel::guarded([&] {
        SRB_ExecSCSICmd& block = srb->exec;
        block.SRB_Cmd = SC_EXEC_SCSI_CMD;
        block.SRB_Hdr_Rsvd = 0;
        block.SRB_Status = SS_COMP;
        block.SRB_BufLen = 0;
        block.SRB_SenseLen = SENSE_LEN;
        block.SRB_Rsvd16 = 0;  // where a 32-bit layout keeps the buffer pointer
        block.SRB_BufPointer = nullptr;
        block.SRB_Rsvd1 = 0;
        block.SRB_CDBLen = cdbLength;
        std::memset(block.CDBByte, 0, sizeof block.CDBByte);
        std::memset(block.SenseArea, 0, sizeof block.SenseArea);
    });
}

// No guard: it raises nothing itself, and whatever the layer throws belongs to the
// guarded command that called it.
KARVEL_EXPORT uint8_t CallAspi32(SRBunion* srb) {
    SendASPI32Command(srb);
    if (srb->exec.SRB_Flags == 0) {
        // The layer finishes the request from its own context: read the status anew on
        // every pass; no pause and no time limit of our own.
        while (loadStatus(srb) == SS_PENDING) {
        }
    }
    return loadStatus(srb);
}

KARVEL_EXPORT void NevselSetMessageBoxHook(NevselMessageBoxHook hook) {
    messageBoxHook.store(hook);
}
