// SPDX-License-Identifier: MIT
#include "regular_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class RegularFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) { return m_scratch.write(name, bytes); }

    karvel::test_support::ScratchDir m_scratch{"regular_file"};
    fs::path m_dir = m_scratch.root();
};

TEST_F(RegularFileTest, ReadsARegularFileWithinItsLimit) {
    const std::string text = std::string("line 1\nline\0 2\n", 15);
    for (uint64_t limit : {uint64_t{15}, uint64_t{16}, uint64_t{1} << 20}) {
        auto contents = karvel::readRegularFile(write("ok", text), limit);
        ASSERT_TRUE(contents.ok()) << contents.message;
        EXPECT_EQ(contents.bytes, text) << limit;
    }
    auto empty = karvel::readRegularFile(write("empty", ""), 10);
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.bytes, "");
}

TEST_F(RegularFileTest, RefusesWhatIsNotARegularFileWithoutWaitingOrReading) {
    const std::string fifo = (m_dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = (m_dir / "dir").string();
    fs::create_directory(directory);
    const std::string big = write("big", std::string(1025, 'x'));
    const std::string missing = (m_dir / "missing").string();

    struct Case {
        std::string path;
        karvel::FileFault fault;
        std::string reason;
    };
    const Case cases[] = {
        {fifo, karvel::FileFault::notRegular, "is not a regular file"},
        {"/dev/zero", karvel::FileFault::notRegular, "is not a regular file"},
        {"/dev/null", karvel::FileFault::notRegular, "is not a regular file"},
        {directory, karvel::FileFault::directory, "is a directory"},
        {big, karvel::FileFault::tooLarge, "is 1025 bytes, more than the limit of 1024 bytes"},
        {missing, karvel::FileFault::missing, "cannot open: No such file or directory"},
    };
    for (const auto& c : cases) {
        auto contents = karvel::readRegularFile(c.path, 1024);
        EXPECT_EQ(contents.fault, c.fault) << c.path;
        EXPECT_EQ(contents.reason, c.reason) << c.path;
        EXPECT_EQ(contents.message, c.path + ": " + c.reason);
        EXPECT_TRUE(contents.bytes.empty()) << c.path;
    }
}

TEST_F(RegularFileTest, MessageEscapesThePath) {
    const std::string path = (m_dir / "a\x1b[2Jb").string();
    fs::create_directory(path);
    auto contents = karvel::readRegularFile(path, 10);
    EXPECT_EQ(contents.message, m_dir.string() + "/a\\x1b[2Jb: is a directory");
}

TEST_F(RegularFileTest, AFileThatGrowsPastTheLimitWhileReadIsRefused) {
    // The size at the open is within the limit; what the descriptor then yields is not.
    const std::string path = write("growing", "abc");
    auto opened = karvel::openRegularFile(path, 8);
    ASSERT_TRUE(opened.ok());
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string(100, 'y');
    auto contents = karvel::readOpenedFile(opened.fd, path, 8, opened.size);
    ::close(opened.fd);
    EXPECT_EQ(contents.fault, karvel::FileFault::tooLarge);
    EXPECT_EQ(contents.reason, "grew past the limit of 8 bytes while it was read");
}

}  // namespace
