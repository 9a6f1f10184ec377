// SPDX-License-Identifier: MIT
// The -f form iscsi://HOST[:PORT]/IQN/LUN: the layer line that serves just that target (as
// target 0 of one host adapter) and the LUN, with the CHAP credentials the user keeps for it.
// Secrets are never taken from the command line, where every user of the machine sees them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace karvel::ctl {

// Where CHAP credentials may come from, gathered so tests can hand in their own.
struct ChapSources {
    std::optional<std::string> user;      // $KARVELCTL_CHAP_USER
    std::optional<std::string> password;  // $KARVELCTL_CHAP_PASSWORD
    std::string configText;               // the user's own layer configuration ("" when none)
    std::string configPath;               // its name, for messages
};

struct IscsiChangerAddress {
    std::string layerLine;  // "iscsi iscsi://HOST:PORT/IQN", with user= and password= for CHAP
    uint8_t lun = 0;
    bool chap = false;      // whether the line carries credentials
};

// Returns true when text starts with the iscsi:// scheme.
bool isIscsiAddress(const std::string& text);

// Returns the layer line and LUN for text, or nothing with why set (one line, never holding a
// secret). CHAP: both variables of sources when set (one alone is refused), else the first
// iscsi line of the user's configuration for the same host and port that names this target,
// else the first such line that names no target, else none.
std::optional<IscsiChangerAddress> planIscsiAddress(const std::string& text, const ChapSources& sources,
                                                      std::string& why);

// Returns the sources of this process: its environment and the configuration file the layer
// would read ($ASPI32_CONFIG, $XDG_CONFIG_HOME/wnaspi32.conf, ~/.config/wnaspi32.conf).
ChapSources chapSourcesOfThisProcess();

}  // namespace karvel::ctl
