// SPDX-License-Identifier: MIT
#include "firmware/check_firmware.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "firmware/check_firmware_command.h"
#include "image_expectation.h"
#include "child_process.h"
#include "scratch_dir.h"

namespace karvel::firmware {
namespace {

using testing::HoldsOnly;
using test_support::readBytes;
using test_support::ScratchDir;

const std::string kGoodMot = "S00600004844521B\r\nS107001001020304DE\r\nS9030000FC\r\n";
const testing::StoredBytes kGoodImage{0x10, {0x01, 0x02, 0x03, 0x04}};

// The files every case finds in its directory.
void WriteFiles(const ScratchDir& dir) {
    dir.write("good.mot", kGoodMot);
    dir.write("good.HEX", ":0400100001020304E2\n:00000001FF\n");
    dir.write("good.bin", std::string("\x01\x02\x03\x04", 4));
    dir.write("bad.mot", "S00600004844521B\r\nS107001001020304DE\r\nS107002001020304DE\r\n");
    dir.write("short.mot", "S107001001020304\r\n");
    dir.write("empty.bin", "");
    dir.write("long.bin", std::string(kFirmwareImageSize + 1, 'x'));
    dir.write("good.s19", kGoodMot);
}

// Words starting with @ name files in the scratch directory.
std::string Expand(const ScratchDir& dir, const std::string& word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '@') {
            out += word[i];
            continue;
        }
        std::size_t end = word.find_first_of(" :\n", i);
        if (end == std::string::npos) end = word.size();
        out += dir.path(word.substr(i + 1, end - i - 1));
        i = end - 1;
    }
    return out;
}

// (arguments after --check-firmware, exit status, standard output, standard error, image
// written to out.bin)
using CheckCase = std::tuple<std::vector<std::string>, int, std::string, std::string, bool>;

class CheckFirmwareTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckFirmwareTest, ReportsAndWritesTheImageOnlyWhenTheFileLoads) {
    const auto& [words, status, out, err, written] = GetParam();
    ScratchDir dir;
    WriteFiles(dir);
    std::vector<std::string> expanded;
    for (const auto& w : words) expanded.push_back(Expand(dir, w));
    const std::vector<std::string_view> args(expanded.begin(), expanded.end());
    std::ostringstream outText;
    std::ostringstream errText;
    EXPECT_EQ(RunCheckFirmware(args, outText, errText), status);
    EXPECT_EQ(outText.str(), Expand(dir, out));
    EXPECT_EQ(errText.str(), Expand(dir, err));

    const std::string image = dir.path("out.bin");
    EXPECT_EQ(std::filesystem::exists(image), written);
    if (written) {
        EXPECT_EQ(readBytes(image).size(), kFirmwareImageSize);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path("")))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

const std::string kUsage = std::string(kCheckFirmwareUsage) + "\n";

INSTANTIATE_TEST_SUITE_P(Commands, CheckFirmwareTest, ::testing::Values(
    CheckCase{{"@good.mot", "--image", "@out.bin"}, 0, "@good.mot: loads as Motorola S-records, 3 lines\n", "", true},
    CheckCase{{"--image", "@out.bin", "@good.HEX"}, 0, "@good.HEX: loads as Intel hex, 2 lines\n", "", true},
    CheckCase{{"@good.bin", "--image", "@out.bin"}, 0, "@good.bin: loads as binary image\n", "", true},
    CheckCase{{"@good.mot"}, 0, "@good.mot: loads as Motorola S-records, 3 lines\n", "", false},
    CheckCase{{"@bad.mot", "--image", "@out.bin"}, 1, "", "karvel: @bad.mot: line 3: checksum error\n", false},
    CheckCase{{"@short.mot", "--image", "@out.bin"}, 1, "",
              "karvel: @short.mot: line 1: record shorter than its count\n", false},
    CheckCase{{"@empty.bin", "--image", "@out.bin"}, 1, "", "karvel: @empty.bin: empty file\n", false},
    CheckCase{{"@long.bin", "--image", "@out.bin"}, 1, "",
              "karvel: @long.bin: file longer than the image (131072 bytes)\n", false},
    CheckCase{{"@good.s19", "--image", "@out.bin"}, 1, "",
              "karvel: @good.s19: unknown extension (not BIN, MOT or HEX)\n", false},
    CheckCase{{"@absent.mot", "--image", "@out.bin"}, 1, "",
              "karvel: @absent.mot: cannot open: No such file or directory\n", false},
    CheckCase{{"@absent\x1b[2J.mot"}, 1, "",
              "karvel: @absent\\x1b[2J.mot: cannot open: No such file or directory\n", false},
    CheckCase{{"@good.mot", "--image", "@nodir/out.bin"}, 1, "",
              "karvel: cannot write @nodir/out.bin: No such file or directory\n", false},
    CheckCase{{}, 2, "", kUsage, false},
    CheckCase{{"@good.mot", "--image"}, 2, "", kUsage, false},
    CheckCase{{"@good.mot", "--image", ""}, 2, "", kUsage, false},
    CheckCase{{""}, 2, "", kUsage, false},
    CheckCase{{"@good.mot", "@good.HEX"}, 2, "", kUsage, false},
    CheckCase{{"@good.mot", "--image", "@out.bin", "--image", "@out.bin"}, 2, "", kUsage, false},
    CheckCase{{"--verbose", "@good.mot"}, 2, "", kUsage, false}
));

TEST(CheckFirmware, WritesTheLoadedImage) {
    ScratchDir dir;
    WriteFiles(dir);
    const std::vector<std::string> words{dir.path("good.mot"), "--image", dir.path("out.bin")};
    const std::vector<std::string_view> args(words.begin(), words.end());
    std::ostringstream ignored;
    ASSERT_EQ(RunCheckFirmware(args, ignored, ignored), 0);
    FirmwareImage written;
    ASSERT_TRUE(written.store(0, readBytes(dir.path("out.bin"))));
    EXPECT_TRUE(HoldsOnly(written, kGoodImage));
}

// (arguments after the program, exit status) through main()'s argv in a process of its own
using ProcessCase = std::tuple<std::vector<std::string>, int>;

class CheckFirmwareProcessTest : public ::testing::TestWithParam<ProcessCase> {};

TEST_P(CheckFirmwareProcessTest, ExitsWithItsStatus) {
    const auto& [words, status] = GetParam();
    ScratchDir dir;
    WriteFiles(dir);
    std::vector<std::string> argv{CHECK_FIRMWARE_TOOL};
    for (const auto& w : words) argv.push_back(Expand(dir, w));
    EXPECT_EQ(test_support::runProcess(argv).exitCode, status);
}

INSTANTIATE_TEST_SUITE_P(Processes, CheckFirmwareProcessTest, ::testing::Values(
    ProcessCase{{"--check-firmware", "@good.mot", "--image", "@out.bin"}, 0},
    ProcessCase{{"--check-firmware", "@bad.mot"}, 1},
    ProcessCase{{"--check-firmware"}, 2}
));

}  // namespace
}  // namespace karvel::firmware
