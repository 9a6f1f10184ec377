// SPDX-License-Identifier: MIT
// Running karvelctl (or a shell pipeline over it) as a child process for the tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace karvel::ctl::test {

struct ProcessResult {
    int exitCode = -1;  // the exit status, or 128 + signal
    std::string out;
    std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs argv[0] (a path) with argv, the caller's environment plus env (replacing variables of
// the same name), and returns what it wrote. With stdoutOnPty its stdout is a pseudo-terminal
// (the bytes it wrote there are returned in out), else a pipe.
ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env, bool stdoutOnPty = false);

// Returns a new empty directory under the temporary directory; the caller removes it.
std::string makeScratchDirectory();
// Removes path and everything below it.
void removeTree(const std::string& path);

}  // namespace karvel::ctl::test
