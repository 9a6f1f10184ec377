// SPDX-License-Identifier: MIT
// Finding the medium changer to work with, by get-device-type probes of the ASPI layer.
#pragma once

#include <cstdint>

#include "changer_model/changer_config.h"
#include <karvel/wnaspi32.h>

// Probes saved with srb; when it is not a medium changer, scans host adapters 0 to
// adapterCount - 1, target ids 0-15 and LUNs 0-7 (LUN innermost) and returns the first
// medium changer. Returns saved when nothing qualifies. srb is left in get-device-type form.
TargetAddress FindChanger(SRBunion& srb, TargetAddress saved, uint8_t adapterCount);
