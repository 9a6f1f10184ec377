// SPDX-License-Identifier: MIT
// The saved target read from profile text, and where the profile lives.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>

#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"
#include "scratch_dir.h"

using namespace karvel::model;

namespace {

using Profile = std::tuple<const char*, std::string, unsigned, unsigned, unsigned>;  // what, text, H, T, L

class SavedTarget : public testing::TestWithParam<Profile> {};

TEST_P(SavedTarget, IsReadAsThePlatformReadsIt) {
    const auto& [what, text, h, t, l] = GetParam();
    const TargetAddress target = savedTargetIn(text);
    EXPECT_EQ(target.hostAdapter, h) << what;
    EXPECT_EQ(target.targetId, t) << what;
    EXPECT_EQ(target.lun, l) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, SavedTarget,
    testing::Values(
        Profile{"plain", "[JukeBox Default]\nHost=1\nScsiId=4\nLun=2\n", 1, 4, 2},
        Profile{"CR LF", "[JukeBox Default]\r\nHost=1\r\nScsiId=4\r\nLun=2\r\n", 1, 4, 2},
        Profile{"names without case", "[jukebox default]\nHOST=3\nscsiid=5\nlUn=1", 3, 5, 1},
        Profile{"blanks around names and values", "  [ JukeBox Default ]  \n  Host =  2 \n ScsiId\t=\t6\n", 2, 6, 0},
        Profile{"low 8 bits", "[JukeBox Default]\nHost=257\nScsiId=300\nLun=-1\n", 1, 44, 255},
        Profile{"leading digits only", "[JukeBox Default]\nHost=12abc\nScsiId=+7x\nLun=1.9\n", 12, 7, 1},
        Profile{"no digits counts as absent", "[JukeBox Default]\nHost=abc\nScsiId=\nLun=-\n", 0, 0, 0},
        Profile{"quoted values", "[JukeBox Default]\nHost=\"2\"\nScsiId=' 3'\n", 2, 3, 0},
        Profile{"another section's keys do not count", "[Other]\nHost=9\n[JukeBox Default]\nScsiId=1\n[Next]\nLun=5\n",
                0, 1, 0},
        Profile{"the first section of that name counts", "[JukeBox Default]\nHost=1\n[JukeBox Default]\nHost=2\nLun=3\n",
                1, 0, 0},
        Profile{"the first key of that name counts", "[JukeBox Default]\nHost=1\nHost=2\n", 1, 0, 0},
        Profile{"comments and lines without '=' are skipped", "[JukeBox Default]\n;Host=5\nHost\nHost=6\n", 6, 0, 0},
        Profile{"a header without its bracket", "[JukeBox Default\nHost=4\n", 4, 0, 0},
        Profile{"no section", "Host=4\n", 0, 0, 0},
        Profile{"empty", "", 0, 0, 0},
        Profile{"wraps past 32 bits", "[JukeBox Default]\nHost=4294967297\n", 1, 0, 0}));

class ProfilePath : public testing::Test {
protected:
    void SetUp() override {
        saveVariable("XDG_CONFIG_HOME", m_config);
        saveVariable("HOME", m_home);
    }
    void TearDown() override {
        restoreVariable("XDG_CONFIG_HOME", m_config);
        restoreVariable("HOME", m_home);
    }

private:
    static void saveVariable(const char* name, std::optional<std::string>& into) {
        if (const char* value = std::getenv(name))
            into = value;
    }
    static void restoreVariable(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    std::optional<std::string> m_config, m_home;
};

TEST_F(ProfilePath, FollowsXdgConfigHomeWhenAbsolute) {
    using Case = std::tuple<std::optional<std::string>, std::string>;  // XDG_CONFIG_HOME, path
    setenv("HOME", "/home/op", 1);
    for (const auto& [config, expected] : {Case{"/etc/xdg", "/etc/xdg/karvel.INI"},
                                           Case{"relative/dir", "/home/op/.config/karvel.INI"},
                                           Case{"", "/home/op/.config/karvel.INI"},
                                           Case{std::nullopt, "/home/op/.config/karvel.INI"}}) {
        if (config)
            setenv("XDG_CONFIG_HOME", config->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(profilePath("karvel"), expected) << config.value_or("(unset)");
    }
}

TEST(SavedTargetFile, IsReadWholeOrRefusedWithItsPath) {
    const karvel::test_support::ScratchDir scratch;
    const std::string dir = scratch.root();
    const std::string file = dir + "/karvel.INI";
    std::ofstream(file, std::ios::binary) << "[JukeBox Default]\r\nHost=1\r\nScsiId=4\r\nLun=2\r\n";
    using Case = std::tuple<std::string, std::string /*error*/, unsigned, unsigned, unsigned>;
    for (const auto& [path, error, h, t, l] : {Case{file, "", 1, 4, 2}, Case{dir + "/missing.INI", "", 0, 0, 0},
                                                Case{dir, dir + ": is a directory", 0, 0, 0},
                                                Case{"/dev/null", "/dev/null: is not a regular file", 0, 0, 0}}) {
        std::string why = "stale";
        const TargetAddress target = readSavedTarget(path, why);
        EXPECT_EQ(std::make_tuple(unsigned{target.hostAdapter}, unsigned{target.targetId}, unsigned{target.lun}),
                  std::make_tuple(h, t, l))
            << path;
        EXPECT_EQ(why, error) << path;
    }
}

}  // namespace
