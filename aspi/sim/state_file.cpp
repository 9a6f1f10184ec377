// SPDX-License-Identifier: MIT
#include "state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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

std::optional<std::vector<uint8_t>> read_all(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail(path, "cannot read", errno);
    }
    std::vector<uint8_t> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
    uint8_t chunk[8192];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            fail(path, "cannot read", error);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
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

void replace_atomically(const std::string& path, std::span<const uint8_t> bytes) {
    std::string temporary = path + ".tmp";
    fill_temporary(temporary, bytes);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        fail(path, "cannot replace", error);
    }
    sync_directory_of(path);
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

StateFile::Hold StateFile::lock() {
    if (lockFd_ < 0) {
        lockFd_ = ::open(lock_path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lockFd_ < 0) fail(lock_path(), "cannot open the lock file", errno);
    }
    while (::flock(lockFd_, LOCK_EX) != 0)
        if (errno != EINTR) fail(lock_path(), "cannot lock", errno);
    return Hold(lockFd_);
}

std::optional<std::string> StateFile::read() const {
    auto bytes = read_all(path_);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

void StateFile::write(const std::string& text) const { replace_atomically(path_, bytes_of(text)); }

void StateFile::write_temporary(const std::string& text) const {
    fill_temporary(temporary_path(), bytes_of(text));
}

std::vector<uint8_t> StateFile::read_firmware() const {
    auto bytes = read_all(firmware_path());
    return bytes ? std::move(*bytes) : std::vector<uint8_t>{};
}

void StateFile::write_firmware(std::span<const uint8_t> image) const {
    replace_atomically(firmware_path(), image);
}

}  // namespace aspi::sim
