// SPDX-License-Identifier: MIT
#include "changer_model/changer_discovery.h"

#include "scsi_codes.h"

namespace karvel::model {

uint32_t probeTarget(SRBunion& srb, TargetAddress at) {
    srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    srb.gdev.SRB_Flags = 0;
    srb.gdev.SRB_Hdr_Rsvd = 0;
    srb.gdev.SRB_HaId = at.hostAdapter;
    srb.gdev.SRB_Target = at.targetId;
    srb.gdev.SRB_Lun = at.lun;
    return SendASPI32Command(&srb);
}

std::optional<TargetAddress> scanTargets(SRBunion& srb, uint8_t adapterCount,
                                         const std::function<bool(TargetAddress, uint8_t)>& visit) {
    for (unsigned h = 0; h < adapterCount; ++h)
        for (uint8_t t = 0; t < 16; ++t)
            for (uint8_t l = 0; l < 8; ++l) {
                const TargetAddress at{static_cast<uint8_t>(h), t, l};
                if (probeTarget(srb, at) == SS_COMP && !visit(at, srb.gdev.SRB_DeviceType))
                    return at;
            }
    return std::nullopt;
}

}  // namespace karvel::model

TargetAddress FindChanger(SRBunion& srb, TargetAddress saved, uint8_t adapterCount) {
    using karvel::model::probeTarget;
    if (probeTarget(srb, saved) == SS_COMP && srb.gdev.SRB_DeviceType == karvel::scsi::kMediumChangerType)
        return saved;
    const std::optional<TargetAddress> found = karvel::model::scanTargets(
        srb, adapterCount, [](TargetAddress, uint8_t type) { return type != karvel::scsi::kMediumChangerType; });
    return found.value_or(saved);
}
