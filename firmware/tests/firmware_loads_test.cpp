// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "firmware/binary_load.h"
#include "firmware/firmware_format.h"
#include "firmware/firmware_loader.h"
#include "image_expectation.h"
#include "record_writer.h"
#include "scratch_dir.h"
#include "firmware/text_load.h"

namespace karvel::firmware {
namespace {

using testing::HoldsOnly;
using testing::MotorolaRecord;
using test_support::ScratchDir;
using testing::StoredBytes;

const std::vector<uint8_t> k01020304{0x01, 0x02, 0x03, 0x04};
const std::vector<uint8_t> k0102030401020304{0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0x03, 0x04};

// An S1 record of exactly 250 characters (120 data bytes at 10h) and one right after its data.
const std::vector<uint8_t> kLongRecordData = [] {
    std::vector<uint8_t> data(120);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 3);
    return data;
}();
const std::string kLongRecord = MotorolaRecord(2, 0x10, kLongRecordData);
const std::string kRecordAfterLong = MotorolaRecord(2, 0x10 + 120, k01020304);
const std::vector<uint8_t> kLongRecordDataAndAfter = [] {
    std::vector<uint8_t> bytes = kLongRecordData;
    bytes.insert(bytes.end(), k01020304.begin(), k01020304.end());
    return bytes;
}();

// (format, file contents, fault, failing line, line numbers seen, what the image then holds)
using TextLoadCase = std::tuple<TextFormat, std::string, LoadFault, int32_t, std::vector<int32_t>, StoredBytes>;

class TextLoadTest : public ::testing::TestWithParam<TextLoadCase> {};

TEST_P(TextLoadTest, ShowsEachLineAndStopsAtTheFirstFault) {
    const auto& [format, contents, fault, line, seen, stored] = GetParam();
    ScratchDir dir;
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(dir.write("f", contents)));
    FirmwareImage image;
    std::vector<int32_t> observed;
    const LoadOutcome outcome =
        LoadTextFirmware(file, image, format, [&observed](int32_t n) { observed.push_back(n); });
    EXPECT_EQ(std::tuple(outcome.fault, outcome.line), std::tuple(fault, line));
    EXPECT_EQ(observed, seen);
    EXPECT_TRUE(HoldsOnly(image, stored));
}

constexpr auto kMot = TextFormat::motorola;
constexpr auto kHex = TextFormat::intelHex;
constexpr auto kNone = LoadFault::none;

INSTANTIATE_TEST_SUITE_P(Files, TextLoadTest, ::testing::Values(
    TextLoadCase{kMot, "S00600004844521B\r\nS107001001020304DE\r\nS9030000FC\r\n", kNone, 0, {1, 2, 3},
                 {0x10, k01020304}},
    TextLoadCase{kMot, "S00600004844521B\nS107001001020304DE\nS9030000FC\n", kNone, 0, {1, 2, 3},
                 {0x10, k01020304}},
    TextLoadCase{kMot, "S107001001020304DE\r\nS9030000FC", kNone, 0, {1, 2}, {0x10, k01020304}},
    TextLoadCase{kMot, "S00600004844521B\r\nS107001001020304DE\r\nS107002001020304DE\r\nS9030000FC\r\n",
                 LoadFault::checksumError, 3, {1, 2, 3}, {0x10, k01020304}},
    TextLoadCase{kMot, "S20801FFFC01020304F1\r\nS804000000FB\r\n", LoadFault::unsupportedType, 2, {1, 2},
                 {0x1FFFC, k01020304}},
    TextLoadCase{kMot, "S107001001020304DE\r\nS20820000001020304CD\r\n", LoadFault::outsideImage, 2, {1, 2},
                 {0x10, k01020304}},
    TextLoadCase{kMot, "S1070010010203\r\n", LoadFault::shorterThanCount, 1, {1}, {}},
    TextLoadCase{kMot, ":0400100001020304E2\r\n", LoadFault::notARecord, 1, {1}, {}},
    // An empty line is counted and skipped; only the end of the file ends the text.
    TextLoadCase{kMot, "S107001001020304DE\r\n\r\nS107001401020304DA\r\n", kNone, 0, {1, 2, 3},
                 {0x10, k0102030401020304}},
    TextLoadCase{kMot, "S107001001020304DE\n\n\nS107001401020304DA", kNone, 0, {1, 2, 3, 4},
                 {0x10, k0102030401020304}},
    TextLoadCase{kHex, ":0400100001020304E2\r\n\r\n:0400100001020304E3\r\n", LoadFault::checksumError, 3,
                 {1, 2, 3}, {0x10, k01020304}},
    // A 250-character record with one trailing blank: the left-over LF of the cut line is an
    // empty line, and the records after it are still read.
    TextLoadCase{kMot, kLongRecord + " \r\n" + kRecordAfterLong + "\r\n", kNone, 0, {1, 2, 3},
                 {0x10, kLongRecordDataAndAfter}},
    TextLoadCase{kMot, "", kNone, 0, {}, {}},
    TextLoadCase{kHex, ":02000002D0002C\r\n:0400100001020304E2\r\n:00000001FF\r\n", kNone, 0, {1, 2, 3},
                 {0x10010, k01020304}},
    TextLoadCase{kHex, ":0400100001020304E2\n:00000001FF", kNone, 0, {1, 2}, {0x10, k01020304}},
    TextLoadCase{kHex, ":0400100001020304E2\r\n:0400000300003800C1\r\n:00000001FF\r\n",
                 LoadFault::unsupportedType, 2, {1, 2}, {0x10, k01020304}}
));

TEST(TextLoad, EachHexLoadStartsAtSegmentBaseZero) {
    ScratchDir dir;
    FirmwareImage first;
    FirmwareImage second;
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(dir.write("a.hex", ":02000002D0002C\r\n:00000001FF\r\n")));
    ASSERT_TRUE(LoadTextFirmware(file, first, kHex).ok());
    ASSERT_TRUE(file.Open(dir.write("b.hex", ":0400100001020304E2\r\n:00000001FF\r\n")));
    ASSERT_TRUE(LoadTextFirmware(file, second, kHex).ok());
    EXPECT_TRUE(HoldsOnly(second, {0x10, k01020304}));
}

// A regular file whose every read fails: the start of the address space is never mapped.
constexpr const char* kUnreadableFile = "/proc/self/mem";

TEST(TextLoad, AReadErrorFailsTheLoad) {
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(kUnreadableFile));
    FirmwareImage image;
    const LoadOutcome outcome = LoadTextFirmware(file, image, kMot);
    EXPECT_EQ(std::tuple(outcome.fault, outcome.line, outcome.systemReason),
              std::tuple(LoadFault::cannotRead, 1, std::string("Input/output error")));
}

std::vector<uint8_t> Pattern(std::size_t n) {
    std::vector<uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return bytes;
}

// (file size, fault, bytes the image holds from offset 0)
using BinaryLoadCase = std::tuple<std::size_t, LoadFault, std::size_t>;

class BinaryLoadTest : public ::testing::TestWithParam<BinaryLoadCase> {};

TEST_P(BinaryLoadTest, LoadsAFileThatFitsTheImage) {
    const auto& [size, fault, held] = GetParam();
    ScratchDir dir;
    const std::vector<uint8_t> contents = Pattern(size);
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(dir.write("f.bin", contents)));
    FirmwareImage image;
    EXPECT_EQ(LoadBinaryFirmware(file, image).fault, fault);
    if (fault == kNone) {
        EXPECT_TRUE(HoldsOnly(image, {0, std::vector<uint8_t>(contents.begin(), contents.begin() + held)}));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BinaryLoadTest, ::testing::Values(
    BinaryLoadCase{10, kNone, 10},
    BinaryLoadCase{1, kNone, 1},
    BinaryLoadCase{kFirmwareImageSize, kNone, kFirmwareImageSize},
    BinaryLoadCase{0, LoadFault::emptyFile, 0},
    BinaryLoadCase{kFirmwareImageSize + 1, LoadFault::longerThanImage, 0},
    BinaryLoadCase{3 * kFirmwareImageSize, LoadFault::longerThanImage, 0}
));

TEST(BinaryLoad, AReadErrorFailsTheLoad) {
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(kUnreadableFile));
    FirmwareImage image;
    const LoadOutcome outcome = LoadBinaryFirmware(file, image);
    EXPECT_EQ(std::tuple(outcome.fault, outcome.systemReason),
              std::tuple(LoadFault::cannotRead, std::string("Input/output error")));
}

// (path, extension, format)
using FormatCase = std::tuple<std::string, std::string, FirmwareFormat>;

class FormatChoiceTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatChoiceTest, ComparesTheUpperCaseExtension) {
    const auto& [path, extension, format] = GetParam();
    EXPECT_EQ(FileExtension(path), extension);
    EXPECT_EQ(FormatForExtension(FileExtension(path)), format);
}

INSTANTIATE_TEST_SUITE_P(Paths, FormatChoiceTest, ::testing::Values(
    FormatCase{"firmware.Mot", "Mot", FirmwareFormat::motorola},
    FormatCase{"/x/y/F.MOT", "MOT", FirmwareFormat::motorola},
    FormatCase{"rom.hex", "hex", FirmwareFormat::intelHex},
    FormatCase{"rom.bIn", "bIn", FirmwareFormat::binary},
    FormatCase{"rom.mot.bak", "bak", FirmwareFormat::unknown},
    FormatCase{"rom.s19", "s19", FirmwareFormat::unknown},
    FormatCase{"rom.txt", "txt", FirmwareFormat::unknown},
    FormatCase{"rom", "", FirmwareFormat::unknown},
    FormatCase{"rom.", "", FirmwareFormat::unknown},
    FormatCase{"dir.mot/rom", "", FirmwareFormat::unknown},
    FormatCase{".hex", "hex", FirmwareFormat::intelHex}
));

// (format, whether the file exists, fault)
using LoaderCase = std::tuple<FirmwareFormat, bool, LoadFault>;

class LoadFirmwareFileTest : public ::testing::TestWithParam<LoaderCase> {};

TEST_P(LoadFirmwareFileTest, OpensTheFileFirst) {
    const auto& [format, exists, fault] = GetParam();
    ScratchDir dir;
    const std::string path = exists ? dir.write("f", "S107001001020304DE\r\n") : dir.path("absent");
    FirmwareImage image;
    const LoadOutcome outcome = LoadFirmwareFile(path, format, image);
    EXPECT_EQ(outcome.fault, fault);
    EXPECT_EQ(outcome.systemReason, exists ? "" : "No such file or directory");
}

INSTANTIATE_TEST_SUITE_P(Formats, LoadFirmwareFileTest, ::testing::Values(
    LoaderCase{FirmwareFormat::motorola, true, kNone},
    LoaderCase{FirmwareFormat::intelHex, true, LoadFault::notARecord},
    LoaderCase{FirmwareFormat::binary, true, kNone},
    LoaderCase{FirmwareFormat::unknown, true, LoadFault::unknownExtension},
    LoaderCase{FirmwareFormat::unknown, false, LoadFault::cannotOpen},
    LoaderCase{FirmwareFormat::motorola, false, LoadFault::cannotOpen}
));

// (outcome, text)
using DescribeCase = std::tuple<LoadOutcome, std::string>;

class DescribeTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeTest, NamesTheLineAndTheReason) {
    const auto& [outcome, text] = GetParam();
    EXPECT_EQ(Describe(outcome), text);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, DescribeTest, ::testing::Values(
    DescribeCase{{LoadFault::checksumError, 3, ""}, "line 3: checksum error"},
    DescribeCase{{LoadFault::outsideImage, 12, ""}, "line 12: data outside the image"},
    DescribeCase{{LoadFault::emptyFile, 0, ""}, "empty file"},
    DescribeCase{{LoadFault::cannotOpen, 0, "No such file or directory"}, "cannot open: No such file or directory"},
    DescribeCase{{LoadFault::cannotRead, 4, "Input/output error"}, "line 4: cannot read: Input/output error"}
));

TEST(LoadFaultTexts, EveryFaultHasItsOwnText) {
    std::set<std::string_view> texts;
    for (int fault = 0; fault <= static_cast<int>(LoadFault::cannotRead); ++fault) {
        std::string_view found;
        for (const auto& entry : LoadFaultTexts())
            if (entry.fault == static_cast<LoadFault>(fault)) found = entry.text;
        EXPECT_FALSE(found.empty()) << fault;
        texts.insert(found);
    }
    EXPECT_EQ(texts.size(), LoadFaultTexts().size());
}

}  // namespace
}  // namespace karvel::firmware
