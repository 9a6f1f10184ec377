// SPDX-License-Identifier: MIT
// Karvel's saved target read from its profile as Karvel reads it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "saved_target.h"

using namespace karvel::ctl;

namespace {

using Profile = std::tuple<const char*, std::string, unsigned, unsigned, unsigned>;  // what, text, H, T, L

class SavedTarget : public testing::TestWithParam<Profile> {};

TEST_P(SavedTarget, IsReadAsKarvelReadsIt) {
    const auto& [what, text, h, t, l] = GetParam();
    const TargetAddress target = saved_target_in(text);
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

using Integer = std::tuple<std::string, std::optional<int32_t>>;

class ProfileInteger : public testing::TestWithParam<Integer> {};

TEST_P(ProfileInteger, ReadsLikeThePlatform) {
    EXPECT_EQ(profile_integer(std::get<0>(GetParam())), std::get<1>(GetParam())) << std::get<0>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileInteger,
                         testing::Values(Integer{"0", 0}, Integer{"42", 42}, Integer{" \t-17", -17},
                                         Integer{"+5", 5}, Integer{"2147483648", INT32_MIN}, Integer{"", std::nullopt},
                                         Integer{"x1", std::nullopt}, Integer{"- 1", std::nullopt},
                                         Integer{"+", std::nullopt}));

class ProfilePath : public testing::Test {
protected:
    void SetUp() override {
        saveVariable("XDG_CONFIG_HOME", config_);
        saveVariable("HOME", home_);
    }
    void TearDown() override {
        restoreVariable("XDG_CONFIG_HOME", config_);
        restoreVariable("HOME", home_);
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
    std::optional<std::string> config_, home_;
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
        EXPECT_EQ(karvel_profile_path(), expected) << config.value_or("(unset)");
    }
}

TEST_F(ProfilePath, AProfileThatIsNoRegularFileIsReportedAndGivesNoTarget) {
    char pattern[] = "/tmp/karvelctl-profile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::string path = dir + "/karvel.INI";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // a blocking open would wait for ever
    testing::internal::CaptureStderr();
    const TargetAddress target = read_saved_target();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "karvelctl: profile " + path + ": is not a regular file\n");
    EXPECT_EQ(std::tuple(target.hostAdapter, target.targetId, target.lun), std::tuple(uint8_t{0}, uint8_t{0}, uint8_t{0}));
    ::unlink(path.c_str());
    ::rmdir(dir.c_str());
}

}  // namespace
