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

void write_all(int fd, const uint8_t* data, size_t size, const std::string& path) {
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

std::optional<std::string> read_all(const std::string& path, uint64_t limit) {
    karvel::FileContents contents = karvel::readRegularFile(path, limit);
    if (contents.fault == karvel::FileFault::missing) return std::nullopt;
    if (!contents.ok()) throw StateError(contents.message);
    return std::move(contents.bytes);
}

void sync_directory_of(const std::string& path) {
    std::string dir = std::filesystem::path(path).parent_path().string();
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; only its durability is at stake
    ::fsync(fd);
    ::close(fd);
}

void fill_temporary(const std::string& temporary, std::span<const uint8_t> bytes) {
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail(temporary, "cannot create", errno);
    try {
        write_all(fd, bytes.data(), bytes.size(), temporary);
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

void rename_into_place(const std::string& temporary, const std::string& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        fail(path, "cannot replace", error);
    }
    sync_directory_of(path);
}

void replace_atomically(const std::string& path, std::span<const uint8_t> bytes) {
    std::string temporary = path + ".tmp";
    fill_temporary(temporary, bytes);
    rename_into_place(temporary, path);
}

std::span<const uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

StateFile::StateFile(std::string path) : path_(std::move(path)) {}

StateFile::~StateFile() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

StateFile::Hold::~Hold() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
}

StateFile::Hold StateFile::lock(std::optional<std::chrono::milliseconds> wait) {
    using namespace std::chrono_literals;
    if (lockFd_ < 0) {
        lockFd_ = ::open(lock_path().c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
        if (lockFd_ < 0) fail(lock_path(), "cannot open the lock file", errno);
    }
    if (!wait) {
        while (::flock(lockFd_, LOCK_EX) != 0)
            if (errno != EINTR) fail(lock_path(), "cannot lock", errno);
        return Hold(lockFd_);
    }
    // flock has no timeout of its own: try, and sleep a little longer each time, up to 20 ms,
    // so a lock freed by another program's move is taken soon after.
    const auto deadline = std::chrono::steady_clock::now() + *wait;
    std::chrono::microseconds pause = 500us;
    for (;;) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return Hold(lockFd_);
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) fail(lock_path(), "cannot lock", errno);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(*wait);
            throw LockTimeout(lock_path() + ": locked by " + lock_holder() + "; gave up after " +
                              (waited.count() % 1000 == 0 ? std::to_string(waited.count() / 1000) + " s"
                                                          : std::to_string(waited.count()) + " ms"));
        }
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(pause, deadline - now));
        pause = std::min<std::chrono::microseconds>(pause * 2, 20ms);
    }
}

std::string StateFile::lock_holder() const {
    struct stat info {};
    if (lockFd_ < 0 || ::fstat(lockFd_, &info) != 0) return "another process";
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

std::optional<std::string> StateFile::read() const { return read_all(path_, kStateFileLimit); }

void StateFile::write(const std::string& text) const { replace_atomically(path_, bytes_of(text)); }

void StateFile::write_temporary(const std::string& text) const {
    fill_temporary(temporary_path(), bytes_of(text));
}

std::vector<uint8_t> StateFile::read_firmware() const {
    auto bytes = read_all(firmware_path(), kFirmwareFileLimit);
    return bytes ? std::vector<uint8_t>(bytes->begin(), bytes->end()) : std::vector<uint8_t>{};
}

void StateFile::write_firmware(std::span<const uint8_t> image) const {
    replace_atomically(firmware_path(), image);
}

void StateFile::stage_firmware(std::span<const uint8_t> image) const {
    fill_temporary(staged_firmware_path(), image);
}

void StateFile::commit_firmware() const { rename_into_place(staged_firmware_path(), firmware_path()); }

void StateFile::discard_firmware() const { ::unlink(staged_firmware_path().c_str()); }

void StateFile::settle_firmware(const std::string& digest) const {
    auto staged = read_all(staged_firmware_path(), kFirmwareFileLimit);
    if (!staged) return;
    if (!digest.empty() && sha256_hex({reinterpret_cast<const uint8_t*>(staged->data()), staged->size()}) == digest)
        commit_firmware();
    else
        discard_firmware();
}

}  // namespace aspi::sim
