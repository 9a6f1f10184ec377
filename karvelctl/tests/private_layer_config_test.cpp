// SPDX-License-Identifier: MIT
// The private layer configuration: a sealed memory file that the layer reads through
// /proc/self/fd, which no other process can swap or change and no crash leaves behind.
#include "private_layer_config.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "regular_file.h"

namespace karvel::ctl {
namespace {

TEST(PrivateLayerConfig, IsASealedNamelessFileTheLayerReadsByItsProcPath) {
    const std::string text = "iscsi iscsi://127.0.0.1:3260/iqn.2024-01.org.example:jukebox user=u password=p\n";
    std::string why;
    const int fd = sealedLayerConfig(text, why);
    ASSERT_GE(fd, 0) << why;

    // What the layer does with ASPI32_CONFIG: a new open of the path, read as a regular file.
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const FileContents read = readRegularFile(path, 1u << 20);
    EXPECT_TRUE(read.ok()) << read.message;
    EXPECT_EQ(read.bytes, text);

    struct stat info {};
    ASSERT_EQ(::fstat(fd, &info), 0);
    EXPECT_EQ(info.st_nlink, 0u);  // in no directory
    EXPECT_EQ(info.st_mode & 0077, 0u);
    EXPECT_EQ(::fcntl(fd, F_GET_SEALS), F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL);

    // Neither this descriptor nor a new open of the path can change the text.
    const int writable = ::open(path.c_str(), O_WRONLY);
    const std::pair<int, const char*> writers[] = {{fd, "own descriptor"}, {writable, "reopened"}};
    for (const auto& [writer, name] : writers) {
        if (writer < 0) continue;  // refused at the open is as good
        EXPECT_EQ(::pwrite(writer, "x", 1, 0), -1) << name;
        EXPECT_EQ(::ftruncate(writer, 0), -1) << name;
        EXPECT_EQ(::pwrite(writer, "x", 1, static_cast<off_t>(text.size())), -1) << name;
    }
    if (writable >= 0) ::close(writable);
    EXPECT_EQ(::fcntl(fd, F_ADD_SEALS, 0), -1);  // the seals themselves are sealed
    EXPECT_EQ(readRegularFile(path, 1u << 20).bytes, text);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);  // not handed to child processes
    ::close(fd);
}

}  // namespace
}  // namespace karvel::ctl
