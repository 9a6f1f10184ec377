// SPDX-License-Identifier: MIT
#include "hex_pairs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace karvel::firmware {
namespace {

// (first character, second character, byte)
using PairCase = std::tuple<char, char, uint8_t>;

class HexPairToByteTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(HexPairToByteTest, GivesTheByteOfItsRule) {
    const auto& [first, second, expected] = GetParam();
    EXPECT_EQ(HexPairToByte(first, second), expected);
}

INSTANTIATE_TEST_SUITE_P(Pairs, HexPairToByteTest, ::testing::Values(
    PairCase{'3', 'A', 0x3A}, PairCase{'3', 'a', 0x3A},
    PairCase{'F', 'F', 0xFF}, PairCase{'f', 'f', 0xFF},
    PairCase{'0', '0', 0x00}, PairCase{'9', '9', 0x99},
    PairCase{'G', '0', 0x00}, PairCase{'0', 'G', 0x00},
    PairCase{'z', 'Z', 0x00},
    PairCase{'P', '0', 0x90}, PairCase{'p', '0', 0x90}, PairCase{'@', '0', 0x90},
    PairCase{' ', '1', 0x01},   // a space is digit F0h; the high digit shifts it out
    PairCase{'1', ' ', 0xF0},   // in the low position it spills into the high half
    PairCase{'\xC1', '1', 0x01} // a byte above 7Fh counts unsigned: no digit, 0
));

// (line, first character, pairs wanted, decodes, bytes)
using DecodeCase = std::tuple<std::string_view, std::size_t, std::size_t, bool, std::vector<uint8_t>>;

class DecodeHexPairsTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeHexPairsTest, DecodesOnlyWhatTheLineHolds) {
    const auto& [line, first, wanted, decodes, bytes] = GetParam();
    std::vector<uint8_t> out(wanted);
    ASSERT_EQ(DecodeHexPairs(line, first, out), decodes);
    if (decodes) {
        EXPECT_EQ(out, bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, DecodeHexPairsTest, ::testing::Values(
    DecodeCase{"S1030000", 2, 3, true, {0x03, 0x00, 0x00}},
    DecodeCase{"S103000", 2, 3, false, {}},       // the last pair is half there
    DecodeCase{"S1", 2, 0, true, {}},
    DecodeCase{"S", 2, 0, false, {}},            // starts past the end
    DecodeCase{":0102", 1, 2, true, {0x01, 0x02}}
));

TEST(ByteSum, WrapsModulo256) {
    const std::vector<uint8_t> bytes{0xFF, 0x02, 0x80, 0x80};
    EXPECT_EQ(ByteSum(bytes), 0x01);
}

}  // namespace
}  // namespace karvel::firmware
