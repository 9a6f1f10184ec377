// SPDX-License-Identifier: MIT
#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace karvel::test_support {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::vector<std::string> mergedEnvironment(const Environment& env) {
    std::vector<std::string> merged;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [key, value] : env)
            replaced = replaced || key == name;
        if (!replaced)
            merged.push_back(entry);
    }
    for (const auto& [key, value] : env)
        merged.push_back(key + "=" + value);
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& t : texts)
        result.push_back(t.data());
    result.push_back(nullptr);
    return result;
}

// Reads each descriptor (-1: none) into its text until it reports end of file (or EIO, a pty
// whose other side closed).
void drain(int outFd, int errFd, std::string& out, std::string& err) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* into[2] = {&out, &err};
    int open = (outFd >= 0) + (errFd >= 0);
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            fail("poll");
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                into[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& env, const ProcessOptions& options) {
    int outRead = -1, outWrite = -1, errPipe[2] = {-1, -1};
    if (options.stdoutOnPty) {
        termios raw{};
        cfmakeraw(&raw);  // no LF to CR LF translation: the bytes arrive as written
        if (openpty(&outRead, &outWrite, nullptr, &raw, nullptr) != 0)
            fail("openpty");
        ::fcntl(outRead, F_SETFD, FD_CLOEXEC);
        ::fcntl(outWrite, F_SETFD, FD_CLOEXEC);
    } else {
        int outPipe[2];
        if (pipe2(outPipe, O_CLOEXEC) != 0)
            fail("pipe");
        outRead = outPipe[0];
        outWrite = outPipe[1];
    }
    if (!options.mergeOutput && pipe2(errPipe, O_CLOEXEC) != 0)
        fail("pipe");

    std::vector<std::string> args = argv;
    std::vector<std::string> environment = mergedEnvironment(env);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(environment);
    const char* workingDir = options.workingDir.empty() ? nullptr : options.workingDir.c_str();

    const pid_t child = fork();
    if (child < 0)
        fail("fork");
    if (child == 0) {
        // Only async-signal-safe calls from here to exec: the parent may have threads.
        dup2(outWrite, STDOUT_FILENO);
        dup2(options.mergeOutput ? outWrite : errPipe[1], STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        if (workingDir && chdir(workingDir) != 0)
            _exit(kNotStarted);
        execvpe(argp[0], argp.data(), envp.data());
        _exit(kNotStarted);
    }
    close(outWrite);
    if (errPipe[1] >= 0)
        close(errPipe[1]);
    ProcessResult result;
    drain(outRead, errPipe[0], result.out, result.err);
    close(outRead);
    if (errPipe[0] >= 0)
        close(errPipe[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = exitCodeOf(status);
    return result;
}

pid_t startProcess(const std::vector<std::string>& argv, int outputFd, bool dieWithParent) {
    std::vector<std::string> args = argv;
    std::vector<char*> argp = pointers(args);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        fail("fork");
    if (child == 0) {
        if (dieWithParent) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)  // the parent ended before the request took hold
                _exit(kNotStarted);
        }
        dup2(outputFd, STDOUT_FILENO);
        dup2(outputFd, STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        execvp(argp[0], argp.data());
        _exit(kNotStarted);
    }
    return child;
}

}  // namespace karvel::test_support
