// SPDX-License-Identifier: MIT
// Bacula's own changer script, mtx-changer from the bacula-sd package, ready to run in a
// test's directory with a given program in mtx's place.
//
// The script is run as shipped but for its MTX= line and its two fixed paths (its
// configuration /etc/bacula/scripts/mtx-changer.conf and its scratch files under
// /var/lib/bacula), which point into the test's directory. Its wait for the tape drive runs
// `mt`; a stand-in on PATH answers "drive status", which the script takes for ready.
#pragma once

#include <string>
#include <vector>

#include "ctl_process.h"

namespace karvel::ctl::test {

// Puts the script, pointed at program, its configuration and the `mt` stand-in into directory;
// throws std::runtime_error when the unpacked script is missing.
void installBaculaScript(const std::string& directory, const std::string& program);

// Returns the command line that runs the script installed in directory on device with args.
std::vector<std::string> baculaScriptArgv(const std::string& directory, const std::string& device,
                                          const std::vector<std::string>& args);

// Returns env with PATH led by directory's `mt` stand-in.
Environment withBaculaPath(const std::string& directory, Environment env);

}  // namespace karvel::ctl::test
