// SPDX-License-Identifier: MIT
// karvelctl on tgt's SMC changer through iSCSI: status with the barcodes as volume tags, a
// load and an unload, and Bacula's parsing of the text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "ctl_process.h"
#include "tgt_changer.h"

using namespace karvel::ctl::test;
using karvel::test::TgtChanger;

namespace {

// The changer is LUN 1 of the portal's only target, on the layer's only adapter.
const std::string kChanger = "0:0:1";

class TgtKarvelctl : public testing::Test {
protected:
    void SetUp() override { m_home = makeScratchDirectory(); }
    void TearDown() override { removeTree(m_home); }

    // Runs karvelctl with the layer configuration tgt_changer set up (ASPI32_CONFIG).
    ProcessResult run(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {KARVELCTL_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        return runProcess(argv, environment());
    }
    ProcessResult shell(const std::string& script) const {
        Environment env = environment();
        const char* path = std::getenv("PATH");
        env.emplace_back("PATH", std::filesystem::path(KARVELCTL_PROGRAM).parent_path().string() + ":" +
                                     (path ? path : "/usr/bin:/bin"));
        return runProcess({"/bin/sh", "-c", script}, env);
    }

    TgtChanger m_changer;

private:
    Environment environment() const { return {{"XDG_CONFIG_HOME", m_home}, {"HOME", m_home}}; }
    std::string m_home;
};

// The tags as the descriptors carry them: 32 bytes, blanks included, also on the empty slots.
const std::string kFreshStatus =
    "  Storage Changer 0:0:1:2 Drives, 11 Slots ( 1 Import/Export )\n"
    "Data Transfer Element 0:Empty\n"
    "Data Transfer Element 1:Empty\n"
    "      Storage Element 1:Full :VolumeTag=KARVEL00                        \n"
    "      Storage Element 2:Full :VolumeTag=KARVEL01                        \n"
    "      Storage Element 3:Full :VolumeTag=KARVEL02                        \n"
    "      Storage Element 4:Empty:VolumeTag=                                \n"
    "      Storage Element 5:Empty:VolumeTag=                                \n"
    "      Storage Element 6:Empty:VolumeTag=                                \n"
    "      Storage Element 7:Empty:VolumeTag=                                \n"
    "      Storage Element 8:Empty:VolumeTag=                                \n"
    "      Storage Element 9:Empty:VolumeTag=                                \n"
    "      Storage Element 10:Empty:VolumeTag=                                \n"
    "      Storage Element 11 IMPORT/EXPORT:Empty:VolumeTag=                                \n";

TEST_F(TgtKarvelctl, StatusShowsTheBarcodesAsVolumeTags) {
    const ProcessResult result = run({"-f", kChanger, "status"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, kFreshStatus);
}

TEST_F(TgtKarvelctl, LoadAndUnloadMoveTheDiscAndItsTag) {
    ProcessResult result = run({"-f", kChanger, "load", "2", "0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = run({"-f", kChanger, "status"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Data Transfer Element 0:Full (Storage Element 2 Loaded):VolumeTag = KARVEL01" + std::string(24, ' ') +
                               "\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("      Storage Element 2:Empty:VolumeTag=" + std::string(32, ' ') + "\n"),
              std::string::npos)
        << result.out;

    result = run({"-f", kChanger, "unload"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = run({"-f", kChanger, "status"});
    EXPECT_EQ(result.out, kFreshStatus);
}

TEST_F(TgtKarvelctl, BaculaReadsTheTagsOfTheFullSlots) {
    const std::string status = "karvelctl -f " + kChanger + " status";
    const ProcessResult list = shell(status +
                                     " | grep \" *Storage Element [0-9]*:.*Full\" | awk '{print $3 $4}' | sed "
                                     "\"s/Full *\\(:VolumeTag=\\)*//\"");
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "1:KARVEL00\n2:KARVEL01\n3:KARVEL02\n");
    const ProcessResult slots = shell(status + " | grep \" *Storage Changer\" | awk '{print $5}'");
    EXPECT_EQ(slots.out, "11\n");
}

TEST_F(TgtKarvelctl, JsonCarriesTheTagsAndTheGeometry) {
    const ProcessResult result = run({"-f", kChanger, "status", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const char* part : {"\"volume_tags\": true,", "\"storage\": {\"first\": 256, \"count\": 10}",
                             "\"import_export\": {\"first\": 16, \"count\": 1}",
                             "\"data_transfer\": {\"first\": 1, \"count\": 2}",
                             "{\"type\": \"storage\", \"number\": 1, \"address\": 256, \"full\": true, \"source\": null, "
                             "\"volume_tag\": \"KARVEL00\"}"})
        EXPECT_NE(result.out.find(part), std::string::npos) << part << "\n" << result.out;
}

TEST_F(TgtKarvelctl, ListShowsEveryLunOfTheTarget) {
    const ProcessResult result = run({"list"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // tgt's controller at LUN 0, the changer, and the two DVD drives: address and type columns.
    const char* const columns[] = {"0:0:0    Storage Array Controller  ", "0:0:1    Medium Changer            ",
                                   "0:0:2    CD-ROM                    ", "0:0:3    CD-ROM                    "};
    std::istringstream text(result.out);
    std::string line;
    for (const std::string expected : columns) {
        ASSERT_TRUE(std::getline(text, line)) << result.out;
        EXPECT_EQ(line.substr(0, expected.size()), expected) << result.out;
    }
    EXPECT_FALSE(std::getline(text, line)) << result.out;
}

}  // namespace
