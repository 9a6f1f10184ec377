// SPDX-License-Identifier: MIT
// The INI profile: reading values and integers as the platform does, writes that keep the
// rest of the file, and files that are refused rather than read.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "changer_model/ini_profile.h"
#include "scratch_dir.h"

namespace karvel::model {
namespace {

namespace fs = std::filesystem;

using test_support::readFile;
using test_support::ScratchDir;

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(IniProfile, IntegersAreReadAsThePlatformReadsThem) {
    struct Case {
        std::string file;
        const char* section;
        const char* key;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"[JukeBox Default]\r\nHost=2\r\nScsiId=5\r\n", "JukeBox Default", "ScsiId", 5},
        {"[JukeBox Default]\nHost=2\n", "JukeBox Default", "Host", 2},
        {"[jukebox default]\nhost=3\n", "JukeBox Default", "Host", 3},
        {"  [ JukeBox Default ]  \n  Host  =  4  \n", "JukeBox Default", "Host", 4},
        {"[JukeBox Default]\nHost=257\n", "JukeBox Default", "Host", 257},
        {"[JukeBox Default]\nHost=-1\n", "JukeBox Default", "Host", -1},
        {"[JukeBox Default]\nHost=12abc\n", "JukeBox Default", "Host", 12},
        {"[JukeBox Default]\nHost=abc\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=\"6\"\n", "JukeBox Default", "Host", 6},
        {"[JukeBox Default]\n;Host=7\n", "JukeBox Default", "Host", 99},
        {"[Other]\nHost=8\n[JukeBox Default]\nLun=1\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=1\nHost=2\n", "JukeBox Default", "Host", 1},
        {"Host=9\n", "JukeBox Default", "Host", 99},
        {"", "JukeBox Default", "Host", 99},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const IniProfile profile(dir.write("karvel.INI", c.file));
        EXPECT_EQ(profile.getInt(c.section, c.key, 99), c.expected) << c.file;
        EXPECT_EQ(profile.lastError(), "") << c.file;
    }
    EXPECT_EQ(IniProfile("/nonexistent/karvel.INI").getInt("a", "b", 7), 7);
}

TEST(IniProfile, WritesKeepEveryOtherSectionKeyAndComment) {
    struct Case {
        std::string before;
        const char* key;
        int32_t value;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"; settings\r\n[Other]\r\nX=1\r\n\r\n[JukeBox Default]\r\nhost=1\r\nLun=0\r\n", "Host", 300,
         "; settings\r\n[Other]\r\nX=1\r\n\r\n[JukeBox Default]\r\nhost=300\r\nLun=0\r\n"},
        {"[JukeBox Default]\nHost=1\n\n[Other]\nX=1\n", "ScsiId", 4,
         "[JukeBox Default]\nHost=1\nScsiId=4\n\n[Other]\nX=1\n"},
        {"[Other]\nX=1\n", "Lun", -1, "[Other]\nX=1\n\n[JukeBox Default]\nLun=-1\n"},
        {"", "Host", 2, "[JukeBox Default]\r\nHost=2\r\n"},
        {"[JukeBox Default]\nHost=1", "Host", 5, "[JukeBox Default]\nHost=5\n"},
        {"[JukeBox Default]\r\nHost=1\nLun=2\n", "Lun", 3, "[JukeBox Default]\r\nHost=1\r\nLun=3\r\n"},
        {"[JukeBox Default]\n\xC3\xA9t\xE9=\xFF\n", "Host", 1, "[JukeBox Default]\n\xC3\xA9t\xE9=\xFF\nHost=1\n"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const std::string path = dir.write("karvel.INI", c.before);
        IniProfile profile(path);
        ASSERT_TRUE(profile.writeInt("JukeBox Default", c.key, c.value)) << profile.lastError();
        EXPECT_EQ(readFile(path), c.after);
        EXPECT_EQ(filesIn(dir.root()), std::vector<std::string>{"karvel.INI"});
    }
}

TEST(IniProfile, WritingCreatesTheFileAndItsDirectory) {
    ScratchDir dir;
    IniProfile profile(dir.path("config/karvel.INI"));
    ASSERT_TRUE(profile.writeInt("JukeBox Default", "Host", 3)) << profile.lastError();
    EXPECT_EQ(profile.getInt("JukeBox Default", "Host", 0), 3);
    EXPECT_EQ(readFile(dir.path("config/karvel.INI")), "[JukeBox Default]\r\nHost=3\r\n");
}

TEST(IniProfile, WritingKeepsTheFilesModeAndFollowsALink) {
    ScratchDir dir;
    const std::string real = dir.write("real.INI", "[JukeBox Default]\nHost=1\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    fs::create_symlink("real.INI", dir.path("karvel.INI"));
    IniProfile profile(dir.path("karvel.INI"));
    ASSERT_TRUE(profile.writeInt("JukeBox Default", "Host", 2)) << profile.lastError();
    EXPECT_TRUE(fs::is_symlink(dir.path("karvel.INI")));
    EXPECT_EQ(readFile(real), "[JukeBox Default]\nHost=2\n");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// What cannot be read is refused with its path named, reads as empty, and is never written over.
TEST(IniProfile, AFileThatIsNotARegularFileOfAtMost1MiBIsRefused) {
    ScratchDir dir;
    const std::string directory = dir.path("dir.INI");
    fs::create_directory(directory);
    const std::string fifo = dir.path("fifo.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = dir.write("large.INI", "[JukeBox Default]\nHost=1\n" +
                                                                    std::string(kProfileSizeLimit, ';'));
    const std::string limit = dir.write("limit.INI", "[JukeBox Default]\nHost=4\n" +
                                                                    std::string(kProfileSizeLimit - 25, ';'));
    using Case = std::tuple<std::string, std::string /*error, after the path*/, int32_t /*Host read*/>;
    for (const auto& [path, error, host] :
         {Case{directory, ": is a directory", 99}, Case{fifo, ": is not a regular file", 99},
          Case{"/dev/zero", ": is not a regular file", 99},
          Case{large, ": is 1048601 bytes, more than the limit of 1048576 bytes", 99}, Case{limit, "", 4}}) {
        IniProfile profile(path);
        EXPECT_EQ(profile.getInt("JukeBox Default", "Host", 99), host) << path;
        EXPECT_EQ(profile.lastError(), error.empty() ? "" : path + error) << path;
        EXPECT_EQ(readProfileFile(path).error, profile.lastError()) << path;
        if (error.empty() || path == "/dev/zero")
            continue;
        EXPECT_FALSE(profile.writeInt("JukeBox Default", "Host", 5)) << path;
        EXPECT_EQ(profile.lastError(), path + error) << path;
    }
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(fs::file_size(large), kProfileSizeLimit + 25);
    EXPECT_EQ(filesIn(directory), std::vector<std::string>{});
}

TEST(IniProfile, WhatIsNoProfileIsReportedOnceAndNeverReplaced) {
    ScratchDir dir;
    const std::string fifo = dir.path("fifo.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = dir.path("dir.INI");
    fs::create_directory(directory);
    const std::string big = dir.path("big.INI");
    test_support::writeFile(big, "");
    fs::resize_file(big, kProfileSizeLimit + 1);
    const std::tuple<std::string, std::string> cases[] = {
        {fifo, "is not a regular file"},
        {directory, "is a directory"},
        {big, "is 1048577 bytes, more than the limit of 1048576 bytes"},
    };
    for (const auto& [path, reason] : cases) {
        testing::internal::CaptureStderr();
        IniProfile profile(path, "karvel");
        EXPECT_EQ(profile.getInt("JukeBox Default", "Host", 7), 7);
        EXPECT_FALSE(profile.writeInt("JukeBox Default", "Host", 3));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("karvel: profile " + path + ": " + reason + "\n"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(fs::file_size(big), kProfileSizeLimit + 1);
}

TEST(IniProfile, AReadOnlyProfileIsNotReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    ScratchDir dir;
    const std::string path = dir.write("karvel.INI", "[JukeBox Default]\nHost=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    IniProfile profile(path);
    EXPECT_FALSE(profile.writeInt("JukeBox Default", "Host", 2));
    EXPECT_NE(profile.lastError().find(path), std::string::npos);
    EXPECT_EQ(readFile(path), "[JukeBox Default]\nHost=1\n");
}

using Integer = std::tuple<std::string, std::optional<int32_t>>;

class ProfileInteger : public testing::TestWithParam<Integer> {};

TEST_P(ProfileInteger, ReadsLikeThePlatform) {
    EXPECT_EQ(profileInteger(std::get<0>(GetParam())), std::get<1>(GetParam())) << std::get<0>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileInteger,
                         testing::Values(Integer{"0", 0}, Integer{"42", 42}, Integer{" \t-17", -17},
                                         Integer{"+5", 5}, Integer{"2147483648", INT32_MIN}, Integer{"", std::nullopt},
                                         Integer{"x1", std::nullopt}, Integer{"- 1", std::nullopt},
                                         Integer{"+", std::nullopt}));

}  // namespace
}  // namespace karvel::model
