// SPDX-License-Identifier: MIT
// The saved target karvelctl reads without -f (the changer model's tests cover how the
// profile is read).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "saved_target.h"
#include "scratch_dir.h"

using namespace karvel::ctl;

namespace {

TEST(SavedTarget, AProfileThatIsNoRegularFileIsReportedAndGivesNoTarget) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    const karvel::test_support::ScratchDir scratch("karvelctl-profile");
    const std::string dir = scratch.root();
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::string path = dir + "/karvel.INI";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // a blocking open would wait for ever
    testing::internal::CaptureStderr();
    const TargetAddress target = readSavedTarget();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "karvelctl: profile " + path + ": is not a regular file\n");
    EXPECT_EQ(std::tuple(target.hostAdapter, target.targetId, target.lun), std::tuple(uint8_t{0}, uint8_t{0}, uint8_t{0}));
    if (saved)
        setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
