// SPDX-License-Identifier: MIT
// The shim's fault for programs built on our ASPI layer (karvelctl): preloaded, it stands in
// front of libwnaspi32's SendASPI32Command, so such a program meets the same injected fault at
// the same command as an SG_IO program (mtx) does in sgShimExecute. Everything else passes on.
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "karvel/wnaspi32.h"
#include "sg_shim_fault.h"

namespace {

constexpr uint8_t kCheckCondition = 0x02;

using SendFunction = uint32_t (*)(SRBunion*);

}  // namespace

extern "C" __attribute__((visibility("default"))) uint32_t SendASPI32Command(SRBunion* srb) {
    uint8_t sense[SG_SHIM_FAULT_SENSE_LENGTH];
    if (srb && srb->exec.SRB_Cmd == SC_EXEC_SCSI_CMD &&
        srb->exec.SRB_CDBLen <= sizeof srb->exec.CDBByte &&
        sgShimTakeFault(srb->exec.CDBByte, srb->exec.SRB_CDBLen, sense)) {
        SRB_ExecSCSICmd& block = srb->exec;
        block.SRB_HaStat = HASTAT_OK;
        block.SRB_TargStat = kCheckCondition;
        std::memset(block.SenseArea, 0, sizeof block.SenseArea);
        std::memcpy(block.SenseArea, sense, std::min<size_t>({sizeof sense, block.SRB_SenseLen, sizeof block.SenseArea}));
        std::atomic_ref<uint8_t>(block.SRB_Status).store(SS_ERR, std::memory_order_release);
        return SS_ERR;
    }
    static const auto next = reinterpret_cast<SendFunction>(::dlsym(RTLD_NEXT, "SendASPI32Command"));
    if (!next) {
        if (srb) std::atomic_ref<uint8_t>(srb->exec.SRB_Status).store(SS_INVALID_HA, std::memory_order_release);
        return SS_INVALID_HA;
    }
    return next(srb);
}
