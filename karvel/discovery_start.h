// SPDX-License-Identifier: MIT
// What the main dialog's discovery starts from, set once by the application object at
// start-up: the number of host adapters and the saved target. The application object holds
// them as its own members; the dialog sees only this part of it.
#pragma once

#include <cstdint>

#include "changer_model/changer_config.h"

struct DiscoveryStart {
    uint8_t m_adapterCount = 0;       // host adapters, bits 0-7 of the ASPI support value
    TargetAddress m_defaultTarget{};  // the saved target read from the profile
};
