// SPDX-License-Identifier: MIT
// Runs a program (looked up on PATH) to its end, for the tests and benchmarks that compare
// with srec_cat or start the check command as its own process.
#pragma once

#include <string>
#include <vector>

namespace karvel::firmware::testing {

inline constexpr int kNotStarted = 127;

// Runs argv[0] with argv in directory `workingDir` (empty: this one), stdout and stderr to
// /dev/null unless captured into `output` (both streams). Returns its exit status, kNotStarted when it cannot be started, 128 + the
// signal number when a signal ended it.
int RunProcess(const std::vector<std::string>& argv, std::string* output = nullptr,
               const std::string& workingDir = {});

}  // namespace karvel::firmware::testing
