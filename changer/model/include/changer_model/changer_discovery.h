// SPDX-License-Identifier: MIT
// Finding the medium changer to work with, by get-device-type probes of the ASPI layer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "changer_model/changer_config.h"
#include <karvel/wnaspi32.h>

// Probes saved with srb; when it is not a medium changer, scans host adapters 0 to
// adapterCount - 1, target ids 0-15 and LUNs 0-7 (LUN innermost) and returns the first
// medium changer. Returns saved when nothing qualifies. srb is left in get-device-type form.
TargetAddress FindChanger(SRBunion& srb, TargetAddress saved, uint8_t adapterCount);

namespace karvel::model {

// Makes srb a get-device-type request for at and submits it; returns the ASPI status (the
// device type is then in srb.gdev.SRB_DeviceType).
uint32_t probeTarget(SRBunion& srb, TargetAddress at);

// Probes, with srb, host adapters 0 to adapterCount - 1, target ids 0-15 and LUNs 0-7 (LUN
// innermost), and calls visit with each address that answers and its device type until visit
// returns false. Returns the address visit stopped at, or nothing after the whole scan.
std::optional<TargetAddress> scanTargets(SRBunion& srb, uint8_t adapterCount,
                                         const std::function<bool(TargetAddress, uint8_t)>& visit);

}  // namespace karvel::model
