// SPDX-License-Identifier: MIT
// The application object: checks the ASPI layer, reads the saved target from the profile
// and runs the main dialog modally; the program ends when the dialog closes.
#pragma once

#include <cstdint>

#include "changer_model/changer_config.h"
#include "discovery_start.h"

class CChangerDlg;

class CChangerApp : public DiscoveryStart {
public:
    // Runs the program; returns false always (the program ends when it returns).
    bool InitInstance();

    // m_adapterCount and m_defaultTarget come from DiscoveryStart.
    CChangerDlg* m_pMainWnd = nullptr;  // the main dialog while it runs (not owned)
};

// Reads section "JukeBox Default" of the profile: the low 8 bits of "Host", "ScsiId" and
// "Lun", each 0 when absent.
TargetAddress readSavedTarget();
