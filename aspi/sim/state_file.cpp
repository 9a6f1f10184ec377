// SPDX-License-Identifier: MIT
#include "state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "outside_text.h"
#include "regular_file.h"
#include "sha256.h"

namespace aspi::sim {

namespace {

[[noreturn]] void fail(const std::string& path, const char* what, int error) {
    throw StateError(path + ": " + what + ": " + std::strerror(error));
}

void writeAll(int fd, const uint8_t* data, size_t size, const std::string& path) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(path, "cannot write", errno);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

std::optional<std::string> readAll(const std::string& path, uint64_t limit) {
    karvel::FileContents contents = karvel::readRegularFile(path, limit);
    if (contents.fault == karvel::FileFault::missing) return std::nullopt;
    if (!contents.ok()) throw StateError(contents.message);
    return std::move(contents.bytes);
}

void syncDirectoryOf(const std::string& path) {
    std::string dir = std::filesystem::path(path).parent_path().string();
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; only its durability is at stake
    ::fsync(fd);
    ::close(fd);
}

void fillTemporary(const std::string& temporary, std::span<const uint8_t> bytes) {
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail(temporary, "cannot create", errno);
    try {
        writeAll(fd, bytes.data(), bytes.size(), temporary);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(temporary, "cannot sync", error);
    }
    ::close(fd);
}

void renameIntoPlace(const std::string& temporary, const std::string& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        fail(path, "cannot replace", error);
    }
    syncDirectoryOf(path);
}

void replaceAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    std::string temporary = path + ".tmp";
    fillTemporary(temporary, bytes);
    renameIntoPlace(temporary, path);
}

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

StateFile::StateFile(std::string path) : m_path(std::move(path)) {}

StateFile::~StateFile() {
    if (m_lockFd >= 0) ::close(m_lockFd);
}

StateFile::Hold::~Hold() {
    if (m_fd >= 0) ::flock(m_fd, LOCK_UN);
}

StateFile::Hold StateFile::lock(std::optional<std::chrono::milliseconds> wait) {
    using namespace std::chrono_literals;
    if (m_lockFd < 0) {
        m_lockFd = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
        if (m_lockFd < 0) fail(lockPath(), "cannot open the lock file", errno);
    }
    if (!wait) {
        while (::flock(m_lockFd, LOCK_EX) != 0)
            if (errno != EINTR) fail(lockPath(), "cannot lock", errno);
        return Hold(m_lockFd);
    }
    // flock has no timeout of its own: try, and sleep a little longer each time, up to 20 ms,
    // so a lock freed by another program's move is taken soon after.
    const auto deadline = std::chrono::steady_clock::now() + *wait;
    std::chrono::microseconds pause = 500us;
    for (;;) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) return Hold(m_lockFd);
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) fail(lockPath(), "cannot lock", errno);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(*wait);
            throw LockTimeout(lockPath() + ": locked by " + lockHolder() + "; gave up after " +
                              (waited.count() % 1000 == 0 ? std::to_string(waited.count() / 1000) + " s"
                                                          : std::to_string(waited.count()) + " ms"));
        }
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(pause, deadline - now));
        pause = std::min<std::chrono::microseconds>(pause * 2, 20ms);
    }
}

std::string StateFile::lockHolder() const {
    struct stat info {};
    if (m_lockFd < 0 || ::fstat(m_lockFd, &info) != 0) return "another process";
    char device[64];
    std::snprintf(device, sizeof device, "%02x:%02x:%llu", ::major(info.st_dev), ::minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    // Lines like "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiters have "->" after
    // the number and are not holders.
    karvel::FileContents locks = karvel::readRegularFile("/proc/locks", kStateFileLimit);
    if (!locks.ok()) return "another process";
    std::istringstream lines(locks.bytes);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string number, kind, mode, access, pid, where;
        if (!(words >> number >> kind >> mode >> access >> pid >> where)) continue;
        if (kind != "FLOCK" || where != device) continue;
        std::string name;
        karvel::FileContents comm = karvel::readRegularFile("/proc/" + pid + "/comm", 4096);
        if (comm.ok()) name = comm.bytes.substr(0, comm.bytes.find('\n'));
        return "process " + pid + (name.empty() ? "" : " (" + karvel::escapeText(name) + ")");
    }
    return "another process";
}

std::optional<std::string> StateFile::read() const { return readAll(m_path, kStateFileLimit); }

void StateFile::write(const std::string& text) const { replaceAtomically(m_path, bytesOf(text)); }

void StateFile::writeTemporary(const std::string& text) const {
    fillTemporary(temporaryPath(), bytesOf(text));
}

std::vector<uint8_t> StateFile::readFirmware() const {
    auto bytes = readAll(firmwarePath(), kFirmwareFileLimit);
    return bytes ? std::vector<uint8_t>(bytes->begin(), bytes->end()) : std::vector<uint8_t>{};
}

void StateFile::writeFirmware(std::span<const uint8_t> image) const {
    replaceAtomically(firmwarePath(), image);
}

void StateFile::stageFirmware(std::span<const uint8_t> image) const {
    fillTemporary(stagedFirmwarePath(), image);
}

void StateFile::commitFirmware() const { renameIntoPlace(stagedFirmwarePath(), firmwarePath()); }

void StateFile::discardFirmware() const { ::unlink(stagedFirmwarePath().c_str()); }

void StateFile::settleFirmware(const std::string& digest) const {
    auto staged = readAll(stagedFirmwarePath(), kFirmwareFileLimit);
    if (!staged) return;
    if (!digest.empty() && sha256Hex({reinterpret_cast<const uint8_t*>(staged->data()), staged->size()}) == digest)
        commitFirmware();
    else
        discardFirmware();
}

}  // namespace aspi::sim
