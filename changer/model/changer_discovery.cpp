// SPDX-License-Identifier: MIT
#include "changer_model/changer_discovery.h"

#include "scsi_codes.h"

namespace {

// Returns whether a medium changer answers at address.
bool isMediumChanger(SRBunion& srb, uint8_t hostAdapter, uint8_t targetId, uint8_t lun) {
    srb.gdev.SRB_HaId = hostAdapter;
    srb.gdev.SRB_Target = targetId;
    srb.gdev.SRB_Lun = lun;
    return SendASPI32Command(&srb) == SS_COMP &&
           srb.gdev.SRB_DeviceType == karvel::scsi::kMediumChangerType;
}

}  // namespace

TargetAddress FindChanger(SRBunion& srb, TargetAddress saved, uint8_t adapterCount) {
    srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    srb.gdev.SRB_Flags = 0;
    srb.gdev.SRB_Hdr_Rsvd = 0;
    if (isMediumChanger(srb, saved.hostAdapter, saved.targetId, saved.lun))
        return saved;
    for (unsigned h = 0; h < adapterCount; ++h)
        for (uint8_t t = 0; t < 16; ++t)
            for (uint8_t l = 0; l < 8; ++l)
                if (isMediumChanger(srb, static_cast<uint8_t>(h), t, l))
                    return TargetAddress{static_cast<uint8_t>(h), t, l};
    return saved;
}
