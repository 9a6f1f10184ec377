// SPDX-License-Identifier: MIT
// Running the real mtx as the oracle of karvelctl's behaviour: mtx speaks SG_IO to a device
// file, and the SG_IO shim (tests/support/sg_shim) makes a placeholder file that device, in
// front of an ASPI address. The placeholder is also an address file naming that address, so
// `mtx -f FILE` and `karvelctl -f FILE` name the same changer the same way.
#pragma once

#include <string>
#include <vector>

#include "ctl_process.h"

namespace karvel::ctl::test {

// Writes the placeholder device at path with address (H:T:L) as its one line.
void writeAddressFile(const std::string& path, const std::string& address);

// Returns the environment that makes path the SG_IO device in front of address, for mtx.
Environment shimEnvironment(const std::string& path, const std::string& address);

// Returns mtx's argv: the program, -f device, then words.
std::vector<std::string> mtxArgv(const std::string& device, const std::vector<std::string>& words);

// Returns err without the lines karvelctl adds after mtx's on a failure (Nevsel's texts, each
// indented by two blanks).
std::string withoutDecodedLines(const std::string& err);

}  // namespace karvel::ctl::test
