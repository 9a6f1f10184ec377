// SPDX-License-Identifier: MIT
// The application object: checks the ASPI layer, reads the saved target from the profile
// and runs the main dialog modally; the program ends when the dialog closes.
#pragma once

#include <cstdint>

#include "changer_model/changer_config.h"

class CChangerDlg;

class CChangerApp {
public:
    // Runs the program; returns false always (the program ends when it returns).
    bool InitInstance();

    uint8_t m_adapterCount = 0;       // host adapters, bits 0-7 of the ASPI support value
    TargetAddress m_defaultTarget{};  // the saved target read from the profile
    CChangerDlg* m_pMainWnd = nullptr;  // the main dialog while it runs (not owned)
};

// Reads section "JukeBox Default" of the profile: the low 8 bits of "Host", "ScsiId" and
// "Lun", each 0 when absent.
TargetAddress readSavedTarget();
