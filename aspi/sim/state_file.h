// SPDX-License-Identifier: MIT
// The jukebox's files: the state file, the lock file beside it that keeps two programs'
// writes apart, and the downloaded firmware image. Every write is atomic and durable:
// a temporary file, fsync, rename over the old file, fsync of the directory. Reads take
// regular files only, within a size limit (a FIFO or /dev/zero named as the state must not
// hang or flood a program that holds the lock).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state_text.h"

namespace aspi::sim {

// The largest state file read: a 25600-slot jukebox with a disc in every slot takes under 1 MiB.
inline constexpr uint64_t kStateFileLimit = 16u << 20;
// The largest PATH.firmware read; an image is 131072 bytes.
inline constexpr uint64_t kFirmwareFileLimit = 1u << 20;

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

    // Waits for and returns the lock (PATH.lock), for at most wait when one is given; throws
    // LockTimeout when the wait ends, StateError when the lock cannot be taken at all.
    Hold lock(std::optional<std::chrono::milliseconds> wait = std::nullopt);

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

    // A firmware download changes the image and the state that names its digest together:
    // stage_firmware writes and syncs the image beside the old one (PATH.firmware.tmp), the
    // state is written next, and only then commit_firmware renames the image into place. A
    // failed state write calls discard_firmware, and the old image stays. All throw StateError.
    void stage_firmware(std::span<const uint8_t> image) const;
    void commit_firmware() const;
    void discard_firmware() const;
    // Completes a download that ended between the state's write and the image's rename: a
    // staged image whose digest the state names (digest, as firmware_digest returns it) goes
    // into place; any other staged image is removed. Call with the lock held.
    void settle_firmware(const std::string& digest) const;

    const std::string& path() const { return path_; }
    std::string temporary_path() const { return path_ + ".tmp"; }
    std::string lock_path() const { return path_ + ".lock"; }
    std::string firmware_path() const { return path_ + ".firmware"; }
    std::string staged_firmware_path() const { return firmware_path() + ".tmp"; }

private:
    // Names the process that holds the lock, read from /proc/locks ("process 123 (karvel)").
    std::string lock_holder() const;

    std::string path_;
    int lockFd_ = -1;
};

}  // namespace aspi::sim
