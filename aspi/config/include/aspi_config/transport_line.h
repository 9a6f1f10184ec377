// SPDX-License-Identifier: MIT
// One line of the layer's configuration file as the layer and programs that consult the
// configuration both read it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace aspi {

// One line of the layer's configuration file: its transport word and the rest, split on blanks.
struct TransportLine {
    std::string file;               // the configuration file, for messages
    int number = 0;                 // 1-based line number, for messages
    std::string transport;          // first word: "sim", "sg", "iscsi"
    std::vector<std::string> args;  // the following words
};

// A line the layer cannot use; what() is the fault, without file and line (the layer adds them).
struct ConfigError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace aspi
