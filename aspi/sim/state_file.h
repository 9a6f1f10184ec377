// SPDX-License-Identifier: MIT
// The jukebox's files: the state file, the lock file beside it that keeps two programs'
// writes apart, and the downloaded firmware image. Every write is atomic and durable:
// a temporary file, fsync, rename over the old file, fsync of the directory.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state_text.h"

namespace aspi::sim {

class StateFile {
public:
    // Serves the state file at path; opens nothing yet.
    explicit StateFile(std::string path);
    ~StateFile();
    StateFile(const StateFile&) = delete;
    StateFile& operator=(const StateFile&) = delete;

    // An exclusive hold of the jukebox's lock, released when it is destroyed.
    class Hold {
    public:
        explicit Hold(int fd) : fd_(fd) {}
        Hold(Hold&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
        Hold& operator=(Hold&&) = delete;
        ~Hold();

    private:
        int fd_;
    };

    // Waits for and returns the lock (PATH.lock); throws StateError when it cannot be taken.
    Hold lock();

    // Returns the state file's text, or nothing when it does not exist; throws StateError.
    std::optional<std::string> read() const;
    // Replaces the state file with text atomically; throws StateError (the old file stays).
    void write(const std::string& text) const;
    // The first half of write: fills and syncs the temporary file without renaming it, which
    // is where a crash would leave things. Tests use it; write() overwrites such a leftover.
    void write_temporary(const std::string& text) const;

    // Returns the downloaded firmware image (PATH.firmware), empty when none; throws StateError.
    std::vector<uint8_t> read_firmware() const;
    // Replaces the firmware image atomically; throws StateError.
    void write_firmware(std::span<const uint8_t> image) const;

    const std::string& path() const { return path_; }
    std::string temporary_path() const { return path_ + ".tmp"; }
    std::string lock_path() const { return path_ + ".lock"; }
    std::string firmware_path() const { return path_ + ".firmware"; }

private:
    std::string path_;
    int lockFd_ = -1;
};

}  // namespace aspi::sim
