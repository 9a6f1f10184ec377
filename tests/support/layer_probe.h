// SPDX-License-Identifier: MIT
// A get-device-type probe sent straight to an ASPI layer object, for tests of a transport.
#pragma once

#include <cstdint>
#include <tuple>

#include "aspi_layer.h"

namespace karvel::test {

// Returns the probe's status and the peripheral type it found (-1 when none answered).
inline std::tuple<uint32_t, int> probe(aspi::AspiLayer& layer, uint8_t target, uint8_t lun) {
    SRBunion block{};
    block.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    block.gdev.SRB_Target = target;
    block.gdev.SRB_Lun = lun;
    const uint32_t status = layer.send(&block);
    return {status, status == SS_COMP ? block.gdev.SRB_DeviceType : -1};
}

}  // namespace karvel::test
