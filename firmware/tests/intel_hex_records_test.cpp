// SPDX-License-Identifier: MIT
#include "intel_hex_records.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "image_expectation.h"

namespace karvel::firmware {
namespace {

using testing::HoldsOnly;
using testing::StoredBytes;

// (lines parsed in turn with one state, their results, what the image then holds)
using HexCase = std::tuple<std::vector<std::string>, std::vector<LineResult>, StoredBytes>;

class ParseHexLineTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(ParseHexLineTest, ReturnsItsResultsAndStoresItsData) {
    const auto& [lines, results, stored] = GetParam();
    FirmwareImage image;
    HexLoadState state;
    std::vector<LineResult> got;
    for (const auto& line : lines) got.push_back(ParseHexLine(line, image, state));
    EXPECT_EQ(got, results);
    EXPECT_TRUE(HoldsOnly(image, stored));
}

constexpr auto kOk = LineResult::accepted;
const std::vector<uint8_t> k01020304{0x01, 0x02, 0x03, 0x04};

INSTANTIATE_TEST_SUITE_P(Records, ParseHexLineTest, ::testing::Values(
    HexCase{{"", "\n"}, {kOk, kOk}, {}},
    HexCase{{":0400100001020304E2"}, {kOk}, {0x0010, k01020304}},
    HexCase{{":0400100001020304e2"}, {kOk}, {0x0010, k01020304}},
    HexCase{{":0400100001020304E3"}, {LineResult::checksumError}, {}},
    HexCase{{":00001000F0"}, {kOk}, {}},
    // Segment D000h puts address 0 at 10000h; C000h at 0.
    HexCase{{":02000002D0002C", ":0400100001020304E2"}, {kOk, kOk}, {0x10010, k01020304}},
    HexCase{{":02000002D0002C", ":02000002C0003C", ":04FFFC0001020304F7"}, {kOk, kOk, kOk},
            {0xFFFC, k01020304}},
    HexCase{{":02000002DFFF1E", ":04000C0001020304E6"}, {kOk, kOk}, {0x1FFFC, k01020304}},
    HexCase{{":02000002BFFF3E", ":0400100001020304E2"}, {kOk, kOk}, {0x0000, k01020304}},
    // The end record stops nothing; a malformed one is not a record.
    HexCase{{":00000001FF", ":0400100001020304E2"}, {kOk, kOk}, {0x0010, k01020304}},
    HexCase{{":00000101FE"}, {LineResult::notARecord}, {}},
    HexCase{{":0400000300003800C1"}, {LineResult::unsupportedType}, {}},
    HexCase{{":020000040001F9"}, {LineResult::unsupportedType}, {}},
    HexCase{{"S9030000FC"}, {LineResult::notARecord}, {}},
    // A segment record without its two bytes leaves the segment alone.
    HexCase{{":01000002D02D", ":0400100001020304E2"}, {LineResult::notARecord, kOk}, {0x0010, k01020304}},
    // Short of the count: nothing is read past the line's end or its zero byte.
    HexCase{{":", ":0", ":04", ":0400100001020304E"}, std::vector<LineResult>(4, LineResult::shorterThanCount), {}},
    HexCase{{std::string(":0400100001020304E2", 9) + '\0' + "01020304E2"}, {LineResult::shorterThanCount}, {}},
    HexCase{{":FF000000"}, {LineResult::shorterThanCount}, {}},
    // Data outside the image fails the record and stores nothing of it.
    HexCase{{":04FFFE0001020304F5"}, {kOk}, {0xFFFE, k01020304}},
    HexCase{{":02000002DFFF1E", ":04FFFE0001020304F5"}, {kOk, LineResult::outsideImage}, {}},
    HexCase{{":02000002E0001C", ":0400000001020304F2"}, {kOk, LineResult::outsideImage}, {}},
    HexCase{{":02000002BFFF3E", ":0400000001020304F2"}, {kOk, LineResult::outsideImage}, {}},
    HexCase{{":020000020000FC", ":0400000001020304F2"}, {kOk, LineResult::outsideImage}, {}},
    // A data record without data stores nothing, so nothing of it falls outside.
    HexCase{{":02000002E0001C", ":00001000F0"}, {kOk, kOk}, {}},
    HexCase{{":02000002BFFF3E", ":0000000000"}, {kOk, kOk}, {}}
));

}  // namespace
}  // namespace karvel::firmware
