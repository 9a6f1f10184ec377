// SPDX-License-Identifier: MIT
// Reading the layer's configuration file: one host adapter line each, '#' comments.
#pragma once

#include <string>
#include <vector>

#include "aspi_config/transport_line.h"

namespace aspi {

// Returns the configuration file to read: $ASPI32_CONFIG, else $XDG_CONFIG_HOME/wnaspi32.conf,
// else ~/.config/wnaspi32.conf.
std::string configPath();

// Returns whether ASPI32_CONFIG names the file (a file it names must exist: a typo there is an
// error, not the default configuration).
bool configPathIsExplicit();

// Returns the adapter lines of text (the contents of file), comments and blank lines dropped.
std::vector<TransportLine> parseConfig(const std::string& text, const std::string& file);

// The lines used when no configuration file exists: one sg adapter per local SCSI host.
std::vector<TransportLine> defaultConfig();

}  // namespace aspi
