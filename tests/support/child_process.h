// SPDX-License-Identifier: MIT
// Running a program as a child process for the tests: its words, environment and working
// folder in; what it wrote to stdout and stderr and how it ended out.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace karvel::test_support {

// The exit status of a program that could not be started (the shell's).
inline constexpr int kNotStarted = 127;

struct ProcessResult {
    int exitCode = -1;  // the exit status, 128 + the signal that ended it, or kNotStarted
    std::string out;
    std::string err;
};

// Variables added to the caller's environment, replacing those of the same name.
using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessOptions {
    std::string workingDir;    // empty: the caller's
    bool stdoutOnPty = false;  // stdout a pseudo-terminal (raw: the bytes arrive as written)
    bool mergeOutput = false;  // stderr into out, interleaved as written

    // Copies with one option changed: ProcessOptions{}.inFolder(dir).merged().
    ProcessOptions inFolder(std::string folder) const {
        ProcessOptions changed = *this;
        changed.workingDir = std::move(folder);
        return changed;
    }
    ProcessOptions onTerminal(bool terminal = true) const {
        ProcessOptions changed = *this;
        changed.stdoutOnPty = terminal;
        return changed;
    }
    ProcessOptions merged() const {
        ProcessOptions changed = *this;
        changed.mergeOutput = true;
        return changed;
    }
};

// Runs argv[0] (a path, or a name looked up on PATH) with argv and stdin from /dev/null, to its
// end. Throws std::runtime_error when the pipes or the process cannot be made.
ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env = {},
                         const ProcessOptions& options = {});

// Starts argv in the background with stdout and stderr into outputFd and stdin from /dev/null;
// with dieWithParent it is killed when this process ends, so a crashed test leaves no server
// behind. Returns its pid; the caller stops and waits for it. Throws when it cannot fork.
pid_t startProcess(const std::vector<std::string>& argv, int outputFd, bool dieWithParent);

}  // namespace karvel::test_support
