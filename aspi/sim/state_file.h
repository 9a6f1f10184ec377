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
        explicit Hold(int fd) : m_fd(fd) {}
        Hold(Hold&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
        Hold& operator=(Hold&&) = delete;
        ~Hold();

    private:
        int m_fd;
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
    void writeTemporary(const std::string& text) const;

    // Returns the downloaded firmware image (PATH.firmware), empty when none; throws StateError.
    std::vector<uint8_t> readFirmware() const;
    // Replaces the firmware image atomically; throws StateError.
    void writeFirmware(std::span<const uint8_t> image) const;

    // A firmware download changes the image and the state that names its digest together:
    // stageFirmware writes and syncs the image beside the old one (PATH.firmware.tmp), the
    // state is written next, and only then commitFirmware renames the image into place. A
    // failed state write calls discardFirmware, and the old image stays. All throw StateError.
    void stageFirmware(std::span<const uint8_t> image) const;
    void commitFirmware() const;
    void discardFirmware() const;
    // Completes a download that ended between the state's write and the image's rename: a
    // staged image whose digest the state names (digest, as firmwareDigest returns it) goes
    // into place; any other staged image is removed. Call with the lock held.
    void settleFirmware(const std::string& digest) const;

    const std::string& path() const { return m_path; }
    std::string temporaryPath() const { return m_path + ".tmp"; }
    std::string lockPath() const { return m_path + ".lock"; }
    std::string firmwarePath() const { return m_path + ".firmware"; }
    std::string stagedFirmwarePath() const { return firmwarePath() + ".tmp"; }

private:
    // Names the process that holds the lock, read from /proc/locks ("process 123 (karvel)").
    std::string lockHolder() const;

    std::string m_path;
    int m_lockFd = -1;
};

}  // namespace aspi::sim
