// SPDX-License-Identifier: MIT
// Without -f, karvelctl works on the changer Karvel would choose: the saved target of its
// profile when that is a medium changer, else the first one the scan finds.
#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_jukebox.h"

using namespace karvel::ctl::test;

namespace {

// Two jukeboxes on two adapters: 0:2:0 with 5 slots and 1:6:3 with 7.
const std::vector<std::string> kTwoJukeboxes = {"sim a.state target=2 slots=5 drives=1 ports=0",
                                                "sim b.state target=6 lun=3 slots=7 drives=1 ports=0"};

using Case = std::tuple<const char*, std::optional<std::string>, std::string>;  // what, profile, first line

class DefaultChoice : public testing::TestWithParam<Case> {};

TEST_P(DefaultChoice, IsTheChangerKarvelWouldUse) {
    const auto& [what, profile, firstLine] = GetParam();
    SimJukebox jukebox;
    jukebox.configure(kTwoJukeboxes);
    if (profile)
        jukebox.writeProfile(*profile);
    const std::string status = jukebox.status();
    EXPECT_EQ(status.substr(0, status.find('\n')), firstLine) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, DefaultChoice,
    testing::Values(
        Case{"no profile: the scan's first changer", std::nullopt, "  Storage Changer 0:2:0:1 Drives, 5 Slots ( 0 Import/Export )"},
        Case{"the saved target is a changer", "[JukeBox Default]\r\nHost=1\r\nScsiId=6\r\nLun=3\r\n",
             "  Storage Changer 1:6:3:1 Drives, 7 Slots ( 0 Import/Export )"},
        Case{"the saved target, written as Karvel may read it", "[jukebox default]\nhost=257\nSCSIID=6abc\nlun=+3\n",
             "  Storage Changer 1:6:3:1 Drives, 7 Slots ( 0 Import/Export )"},
        Case{"the saved target answers nothing: the scan", "[JukeBox Default]\nHost=1\nScsiId=5\nLun=0\n",
             "  Storage Changer 0:2:0:1 Drives, 5 Slots ( 0 Import/Export )"}));

TEST(NamedChoice, FNamesTheChangerAsGiven) {
    SimJukebox jukebox;
    jukebox.configure(kTwoJukeboxes);
    jukebox.writeProfile("[JukeBox Default]\nHost=0\nScsiId=2\n");
    const ProcessResult result = jukebox.run({"-f", "1:06:3", "status"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "  Storage Changer 1:06:3:1 Drives, 7 Slots ( 0 Import/Export )");
}

TEST(NamedChoice, TheProfileIsNeverWritten) {
    SimJukebox jukebox;
    jukebox.configure(kTwoJukeboxes);
    const std::string profile = "; Karvel's\n[JukeBox Default]\nHost=7\n";
    jukebox.writeProfile(profile);
    EXPECT_EQ(jukebox.run({"status"}).exitCode, 0);
    EXPECT_EQ(karvel::test_support::readFile(jukebox.directory() + "/karvel.INI"), profile);
}

}  // namespace
