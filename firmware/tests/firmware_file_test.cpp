// SPDX-License-Identifier: MIT
#include "firmware/firmware_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <array>
#include <string>
#include <utility>
#include <tuple>
#include <vector>

#include "scratch_dir.h"

namespace karvel::firmware {
namespace {

using test_support::ScratchDir;

// 300 characters "0123456789012..." for lines around the limit.
const std::string kDigits = [] {
    std::string s;
    for (int i = 0; i < 300; ++i) s += static_cast<char>('0' + i % 10);
    return s;
}();
std::string Digits(std::size_t n, std::size_t from = 0) { return kDigits.substr(from, n); }

// (file contents, buffer size, limit, what successive calls return)
using ReadLineCase = std::tuple<std::string, std::size_t, uint16_t, std::vector<std::string>>;

class ReadLineTest : public ::testing::TestWithParam<ReadLineCase> {};

TEST_P(ReadLineTest, ReturnsEachLineWithoutItsLineEnd) {
    const auto& [contents, bufferSize, limit, lines] = GetParam();
    ScratchDir dir;
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(dir.write("f.mot", contents)));
    std::vector<char> buffer(bufferSize, 'x');
    for (const auto& expected : lines) {
        const uint16_t length = file.ReadLine(buffer, limit);
        ASSERT_EQ(length, expected.size());
        EXPECT_EQ(std::string(buffer.data(), length), expected);
        EXPECT_EQ(buffer[length], '\0');
    }
    EXPECT_FALSE(file.Failed());
}

constexpr std::size_t kBuffer = kLineBufferSize;
constexpr uint16_t kLimit = kLineLimit;

INSTANTIATE_TEST_SUITE_P(Lines, ReadLineTest, ::testing::Values(
    ReadLineCase{"S9030000FC\r\n", kBuffer, kLimit, {"S9030000FC", ""}},
    ReadLineCase{"S9030000FC\n", kBuffer, kLimit, {"S9030000FC", ""}},
    ReadLineCase{"S9030000FC", kBuffer, kLimit, {"S9030000FC", ""}},
    ReadLineCase{"S9030000FC\r", kBuffer, kLimit, {"S9030000FC", ""}},
    ReadLineCase{"\r\n", kBuffer, kLimit, {""}},
    ReadLineCase{"\n", kBuffer, kLimit, {""}},
    ReadLineCase{"", kBuffer, kLimit, {"", ""}},
    ReadLineCase{"A\r\nB\nC", kBuffer, kLimit, {"A", "B", "C", ""}},
    ReadLineCase{"A\n\nB\n", kBuffer, kLimit, {"A", "", "B", ""}},
    ReadLineCase{"A\rB\r\n", kBuffer, kLimit, {"A\rB", ""}},
    ReadLineCase{std::string("A\0B\n", 4), kBuffer, kLimit, {std::string("A\0B", 3), ""}},
    // At the limit a line comes back whole; past it the line is cut, two characters are
    // lost, and the next call goes on inside the same line.
    ReadLineCase{Digits(250) + "\r\nS9\r\n", kBuffer, kLimit, {Digits(250), "S9", ""}},
    ReadLineCase{Digits(250) + "\nS9", kBuffer, kLimit, {Digits(250), "S9", ""}},
    ReadLineCase{Digits(251) + "\nS9", kBuffer, kLimit, {Digits(250), "S9", ""}},
    ReadLineCase{Digits(251) + "\r\nS9", kBuffer, kLimit, {Digits(250), "", "S9", ""}},
    ReadLineCase{Digits(252), kBuffer, kLimit, {Digits(250), ""}},
    ReadLineCase{Digits(260) + "\r\n", kBuffer, kLimit, {Digits(250), Digits(8, 252), ""}},
    ReadLineCase{"0123456789AB\n", 12, 10, {"0123456789", ""}},
    // A limit beyond the buffer is lowered to what it holds.
    ReadLineCase{"0123456789\n", 6, kLimit, {"0123", "6789", ""}},
    ReadLineCase{"0123\n", 1, kLimit, {"", ""}}
));

// (file contents, what successive calls return with whether the file was then at its end)
using AtEndCase = std::tuple<std::string, std::vector<std::pair<std::string, bool>>>;

class ReadLineEndTest : public ::testing::TestWithParam<AtEndCase> {};

TEST_P(ReadLineEndTest, TellsAnEmptyLineFromTheEndOfTheFile) {
    const auto& [contents, calls] = GetParam();
    ScratchDir dir;
    CFirmwareFile file;
    ASSERT_TRUE(file.Open(dir.write("f.mot", contents)));
    std::array<char, kLineBufferSize> buffer{};
    for (const auto& [expected, atEnd] : calls) {
        const uint16_t length = file.ReadLine(buffer, kLineLimit);
        EXPECT_EQ(std::tuple(std::string(buffer.data(), length), file.AtEnd()), std::tuple(expected, atEnd));
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadLineEndTest, ::testing::Values(
    AtEndCase{"", {{"", true}, {"", true}}},
    AtEndCase{"\n", {{"", false}, {"", true}}},
    AtEndCase{"A\r\n\r\nB", {{"A", false}, {"", false}, {"B", false}, {"", true}}},
    AtEndCase{"A\r", {{"A", false}, {"", true}}},
    AtEndCase{"\r", {{"", false}, {"", true}}},
    AtEndCase{Digits(251) + "\r\nS9", {{Digits(250), false}, {"", false}, {"S9", false}, {"", true}}},
    AtEndCase{Digits(252), {{Digits(250), false}, {"", true}}}
));

// (what the path is, opens, reason)
enum class PathKind { missing, directory, fifo, device, huge };
using FileErrorCase = std::tuple<PathKind, bool, std::string>;

class FirmwareFileErrorTest : public ::testing::TestWithParam<FileErrorCase> {};

TEST_P(FirmwareFileErrorTest, FailsWithTheSystemsReason) {
    const auto& [kind, opens, reason] = GetParam();
    ScratchDir dir;
    std::string path;
    switch (kind) {
    case PathKind::missing: path = dir.path("absent.mot"); break;
    case PathKind::directory: path = dir.path(""); break;
    case PathKind::fifo:  // without a writer, a blocking open would wait for ever
        path = dir.path("fifo.mot");
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case PathKind::device: path = "/dev/zero"; break;
    case PathKind::huge:
        path = dir.path("huge.bin");
        std::ofstream(path).close();
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kFirmwareFileLimit + 1)), 0);
        break;
    }
    CFirmwareFile file;
    ASSERT_EQ(file.Open(path), opens);
    if (opens) {
        std::array<char, kLineBufferSize> line{};
        EXPECT_EQ(file.ReadLine(line, kLineLimit), 0);
        std::array<uint8_t, 16> bytes{};
        EXPECT_EQ(file.Read(bytes), 0u);
    }
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(file.SystemReason(), reason);
}

INSTANTIATE_TEST_SUITE_P(Paths, FirmwareFileErrorTest, ::testing::Values(
    FileErrorCase{PathKind::missing, false, "No such file or directory"},
    FileErrorCase{PathKind::directory, false, "is a directory"},
    FileErrorCase{PathKind::fifo, false, "is not a regular file"},
    FileErrorCase{PathKind::device, false, "is not a regular file"},
    FileErrorCase{PathKind::huge, false, "is 16777217 bytes, more than the limit of 16777216 bytes"}
));

}  // namespace
}  // namespace karvel::firmware
