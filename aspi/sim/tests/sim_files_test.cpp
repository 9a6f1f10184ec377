// SPDX-License-Identifier: MIT
// The jukebox's files under misuse: what is not a regular file or is far too large as the
// state, a firmware download whose state write fails, and a lock another process keeps.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "sim/sim_state.h"
#include "sim/state_file.h"
#include "sim_test_support.h"

namespace aspi::sim::testing {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

const Bytes kDownload{0x3B, 5, 15, 0, 0, 0, 0x02, 0, 0, 0};

std::unique_ptr<SimTransport> openWithWait(const std::string& path, std::chrono::milliseconds wait) {
    SimSettings settings = parseSimLine({"", 1, "sim", {path}});
    settings.lockWait = wait;
    return std::make_unique<SimTransport>(std::move(settings));
}

TEST(SimFiles, AStateThatIsNoRegularFileOrTooLargeIsRefusedAtOnce) {
    ScratchDir dir;
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = dir.path("dir");
    std::filesystem::create_directory(directory);
    const std::string big = dir.path("big");
    ::truncate((writeFile(big, ""), big.c_str()), static_cast<off_t>(kStateFileLimit + 1));

    const std::pair<std::string, std::string> cases[] = {
        {fifo, fifo + ": is not a regular file"},
        {"/dev/zero", "/dev/zero: is not a regular file"},
        {directory, directory + ": is a directory"},
        {big, big + ": is 16777217 bytes, more than the limit of 16777216 bytes"},
    };
    for (const auto& [path, message] : cases) {
        ::testing::internal::CaptureStderr();
        auto jukebox = openJukebox(path);
        EXPECT_EQ(send(*jukebox, kTestUnitReady).status(), check(6, 0x29, 0)) << path;
        EXPECT_EQ(send(*jukebox, kTestUnitReady).status(), check(4, 0x53, 0x87)) << path;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "wnaspi32: sim: " + message + "\n");
        EXPECT_THROW(loadState(path), StateError);
    }
    // Nothing was written where the state should have been.
    EXPECT_EQ(std::filesystem::file_size(big), kStateFileLimit + 1);
}

TEST(SimFiles, AFailedStateWriteKeepsTheOldFirmwareAndTheOldState) {
    ScratchDir dir;
    const std::string path = dir.path("jukebox");
    Bytes oldImage(131072, 0x11), newImage(131072, 0x22);
    auto jukebox = openJukebox(path);
    send(*jukebox, kTestUnitReady);
    ASSERT_EQ(send(*jukebox, kDownload, 0, oldImage).status(), kGood);
    const std::string oldState = readFile(path);

    // The state's temporary file cannot be created where a directory of that name is.
    std::filesystem::create_directory(path + ".tmp");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(send(*jukebox, kDownload, 0, newImage).status(), check(4, 0x53, 0x87));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(path + ".tmp: cannot create"), std::string::npos);

    EXPECT_EQ(readFile(path), oldState);
    EXPECT_EQ(loadFirmware(path), oldImage);
    EXPECT_EQ(loadState(path).firmwareDigest, firmwareDigest(oldImage));
    EXPECT_FALSE(std::filesystem::exists(path + ".firmware.tmp"));

    std::filesystem::remove(path + ".tmp");
    ASSERT_EQ(send(*jukebox, kDownload, 0, newImage).status(), kGood);
    EXPECT_EQ(loadFirmware(path), newImage);
    EXPECT_EQ(loadState(path).firmwareDigest, firmwareDigest(newImage));
}

TEST(SimFiles, ADownloadCutBetweenStateAndRenameIsCompletedOrUndoneByTheState) {
    // A crash after the state's write and before the image's rename leaves the staged image;
    // the state decides whether it is the jukebox's firmware.
    ScratchDir dir;
    const std::string path = dir.path("jukebox");
    Bytes committed(131072, 0x33), staged(131072, 0x44);
    const std::pair<std::string, Bytes> cases[] = {
        {firmwareDigest(staged), staged},      // the state names the staged image
        {firmwareDigest(committed), committed}, // the state still names the old one
    };
    for (const auto& [digest, expected] : cases) {
        createState(path, Seed{});
        StateFile file(path);
        file.writeFirmware(committed);
        file.stageFirmware(staged);
        editState(path, [&](JukeboxState& s) { s.firmwareDigest = digest; });
        EXPECT_EQ(loadFirmware(path), expected);
        EXPECT_FALSE(std::filesystem::exists(path + ".firmware.tmp"));
    }
}

TEST(SimFiles, ALockHeldElsewhereEndsTheRequestAsATimeoutNamingTheHolder) {
    ScratchDir dir;
    const std::string path = dir.path("jukebox");
    createState(path, Seed{});
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {  // a stopped program: takes the lock and never lets go
        int fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
        ::flock(fd, LOCK_EX);
        char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    auto jukebox = openWithWait(path, 200ms);
    EXPECT_EQ(send(*jukebox, kTestUnitReady).status(), check(6, 0x29, 0));  // taken without the lock
    const Reply reply = send(*jukebox, kTestUnitReady);
    const auto waited = std::chrono::steady_clock::now() - start;
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(reply.result.aspiStatus, SS_ABORTED);
    EXPECT_EQ(reply.result.hostStatus, 0);
    EXPECT_LT(waited, 5s);
    const std::string comm = readFile("/proc/self/comm");
    EXPECT_EQ(report, "wnaspi32: sim: " + path + ".lock: locked by process " + std::to_string(holder) + " (" +
                          comm.substr(0, comm.find('\n')) + "); gave up after 200 ms\n");

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(send(*jukebox, kTestUnitReady).status(), kGood);
}

}  // namespace
}  // namespace aspi::sim::testing
