// SPDX-License-Identifier: MIT
// Files written by srecord's srec_cat load to the image that srec_cat itself makes of them.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "firmware/firmware_format.h"
#include "firmware/firmware_loader.h"
#include "child_process.h"
#include "scratch_dir.h"

namespace karvel::firmware {
namespace {

using test_support::readBytes;
using test_support::ScratchDir;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// Runs srec_cat with the words of args inside dir; a missing srec_cat fails the test.
void SrecCat(const ScratchDir& dir, const std::string& args) {
    std::vector<std::string> argv{KARVEL_SREC_CAT};
    for (auto& w : Words(args)) argv.push_back(w);
    const test_support::ProcessResult run =
        test_support::runProcess(argv, {}, test_support::ProcessOptions{}.inFolder(dir.path("")).merged());
    ASSERT_NE(run.exitCode, test_support::kNotStarted) << "srec_cat not found: run scripts/setup";
    ASSERT_EQ(run.exitCode, 0) << "srec_cat " << args << ":\n" << run.out;
}

std::vector<uint8_t> RandomBytes(std::size_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(generator());
    return bytes;
}

// Inputs: full.bin fills the image, part.bin is 3000 bytes.
void WriteInputs(const ScratchDir& dir) {
    dir.write("full.bin", RandomBytes(kFirmwareImageSize, 1));
    dir.write("part.bin", RandomBytes(3000, 2));
}

// (srec_cat arguments that write the file, file, srec_cat arguments that read it back as the
// reference image ref.bin)
using LoadsCase = std::tuple<std::string, std::string, std::string>;

class SrecCatLoadsTest : public ::testing::TestWithParam<LoadsCase> {};

TEST_P(SrecCatLoadsTest, LoadsToSrecCatsOwnImage) {
    const auto& [write, file, reference] = GetParam();
    ScratchDir dir;
    WriteInputs(dir);
    ASSERT_NO_FATAL_FAILURE(SrecCat(dir, write));
    ASSERT_NO_FATAL_FAILURE(SrecCat(dir, reference + " -fill 0xFF 0 0x20000 -o ref.bin -binary"));
    const std::vector<uint8_t> expected = readBytes(dir.path("ref.bin"));
    ASSERT_EQ(expected.size(), kFirmwareImageSize);

    FirmwareImage image;
    const LoadOutcome outcome = LoadFirmwareFile(dir.path(file), FormatForExtension(FileExtension(file)), image);
    ASSERT_TRUE(outcome.ok()) << Describe(outcome);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.bytes().begin()));
}

const std::string kMotorola = " -o f.mot -motorola -disable=data-count";
const std::string kStartAtZero = " -execution-start-address=0";

INSTANTIATE_TEST_SUITE_P(Files, SrecCatLoadsTest, ::testing::Values(
    // S1 records and S9, LF and CR LF.
    LoadsCase{"part.bin -binary -offset 0x100" + kMotorola + " -address-length=2" + kStartAtZero,
              "f.mot", "f.mot -motorola"},
    LoadsCase{"part.bin -binary -offset 0x100" + kMotorola + " -address-length=2 -crlf" + kStartAtZero,
              "f.mot", "f.mot -motorola"},
    // Records of 120 data bytes make lines of exactly 250 characters.
    LoadsCase{"part.bin -binary" + kMotorola + " -address-length=2 -obs=120 -crlf", "f.mot", "f.mot -motorola"},
    // The whole image: S1 below 10000h, S2 above, and S9.
    LoadsCase{"full.bin -binary" + kMotorola + kStartAtZero, "f.mot", "f.mot -motorola"},
    LoadsCase{"full.bin -binary" + kMotorola + " -crlf" + kStartAtZero, "f.mot", "f.mot -motorola"},
    // S2 records only, with a hole between two parts.
    LoadsCase{"part.bin -binary -offset 0x100 part.bin -binary -offset 0x1F000" + kMotorola + " -address-length=3",
              "f.mot", "f.mot -motorola"},
    // Intel hex with type-02 segment records: C0000h is image offset 0.
    LoadsCase{"full.bin -binary -offset 0xC0000 -o f.hex -intel -address-length=3", "f.hex",
              "f.hex -intel -offset -0xC0000"},
    LoadsCase{"full.bin -binary -offset 0xC0000 -o f.hex -intel -address-length=3 -crlf", "f.hex",
              "f.hex -intel -offset -0xC0000"},
    LoadsCase{"full.bin -binary -crop 0 0x1FFF0 -offset 0xC0010 -o f.hex -intel -address-length=3 -crlf", "f.hex",
              "f.hex -intel -offset -0xC0000"},
    LoadsCase{"part.bin -binary -offset 0xDF000 -o f.hex -intel -address-length=3 -obs=119", "f.hex",
              "f.hex -intel -offset -0xC0000"},
    // Without segment records an address is its image offset.
    LoadsCase{"part.bin -binary -offset 0x2000 -o f.hex -intel -address-length=2", "f.hex", "f.hex -intel"},
    // The binary form, shorter than the image.
    LoadsCase{"part.bin -binary -o f.bin -binary", "f.bin", "f.bin -binary"}
));

// (srec_cat arguments that write the file, file, fault, failing line counted from the last
// line (0 = the last), or nothing when the line is not checked)
using FailsCase = std::tuple<std::string, std::string, LoadFault, std::optional<int>>;

class SrecCatFailsTest : public ::testing::TestWithParam<FailsCase> {};

TEST_P(SrecCatFailsTest, FailsAtTheLineItCannotLoad) {
    const auto& [write, file, fault, fromLast] = GetParam();
    ScratchDir dir;
    WriteInputs(dir);
    ASSERT_NO_FATAL_FAILURE(SrecCat(dir, write));
    const std::vector<uint8_t> text = readBytes(dir.path(file));
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));

    FirmwareImage image;
    const LoadOutcome outcome = LoadFirmwareFile(dir.path(file), FormatForExtension(FileExtension(file)), image);
    EXPECT_EQ(outcome.fault, fault) << Describe(outcome);
    if (fromLast) {
        EXPECT_EQ(outcome.line, lines - *fromLast);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SrecCatFailsTest, ::testing::Values(
    // S2 records ending with S8, S3 records, and the S5 record count are not read.
    FailsCase{"part.bin -binary -offset 0x10000" + kMotorola + " -address-length=3" + kStartAtZero, "f.mot",
              LoadFault::unsupportedType, 0},
    FailsCase{"part.bin -binary -o f.mot -motorola -address-length=2", "f.mot", LoadFault::unsupportedType, 0},
    FailsCase{"part.bin -binary" + kMotorola + " -address-length=4", "f.mot", LoadFault::unsupportedType,
              std::nullopt},
    // Lines longer than 250 characters are cut, so their records fall short of their count.
    FailsCase{"part.bin -binary" + kMotorola + " -address-length=2 -obs=121 -crlf", "f.mot",
              LoadFault::shorterThanCount, std::nullopt},
    // Data beyond the image: above 1FFFFh, or past DFFFFh in Intel hex.
    FailsCase{"part.bin -binary -offset 0x1FF00" + kMotorola + " -address-length=3", "f.mot",
              LoadFault::outsideImage, std::nullopt},
    FailsCase{"full.bin -binary -offset 0xC0010 -o f.hex -intel -address-length=3", "f.hex",
              LoadFault::outsideImage, 1},
    // Type 03 (start segment address) and 04 (extended linear address) are not read.
    FailsCase{"part.bin -binary -offset 0xC0000 -o f.hex -intel -address-length=3" + kStartAtZero, "f.hex",
              LoadFault::unsupportedType, 1},
    FailsCase{"part.bin -binary -o f.hex -intel -address-length=4", "f.hex", LoadFault::unsupportedType, std::nullopt}
));

}  // namespace
}  // namespace karvel::firmware
