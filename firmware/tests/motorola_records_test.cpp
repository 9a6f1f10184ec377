// SPDX-License-Identifier: MIT
#include "motorola_records.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "image_expectation.h"

namespace karvel::firmware {
namespace {

using testing::HoldsOnly;
using testing::StoredBytes;

// (line, result, what the image then holds)
using MotorolaCase = std::tuple<std::string, LineResult, StoredBytes>;

class ParseMotorolaLineTest : public ::testing::TestWithParam<MotorolaCase> {};

TEST_P(ParseMotorolaLineTest, ReturnsItsResultAndStoresItsData) {
    const auto& [line, result, stored] = GetParam();
    FirmwareImage image;
    EXPECT_EQ(ParseMotorolaLine(line, image), result);
    EXPECT_TRUE(HoldsOnly(image, stored));
}

const std::vector<uint8_t> k01020304{0x01, 0x02, 0x03, 0x04};

INSTANTIATE_TEST_SUITE_P(Records, ParseMotorolaLineTest, ::testing::Values(
    MotorolaCase{"", LineResult::accepted, {}},
    MotorolaCase{"\n", LineResult::accepted, {}},
    MotorolaCase{"S00600004844521B", LineResult::accepted, {}},
    MotorolaCase{"S9030000FC", LineResult::accepted, {}},
    MotorolaCase{"S107001001020304DE", LineResult::accepted, {0x0010, k01020304}},
    MotorolaCase{"S107001001020304de", LineResult::accepted, {0x0010, k01020304}},
    MotorolaCase{"S107001001020304DEjunk", LineResult::accepted, {0x0010, k01020304}},
    MotorolaCase{"S107001001020304DF", LineResult::checksumError, {}},
    MotorolaCase{"S20800100201020304DB", LineResult::accepted, {0x1002, k01020304}},
    MotorolaCase{"S107FFFC01020304F3", LineResult::accepted, {0xFFFC, k01020304}},
    MotorolaCase{"S20801FFFC01020304F1", LineResult::accepted, {0x1FFFC, k01020304}},
    MotorolaCase{"S1030010EC", LineResult::accepted, {}},            // address, no data
    // S3, S5, S7 and S8 are not read; the checksum is tested before the type.
    MotorolaCase{"S3090000100001020304DC", LineResult::unsupportedType, {}},
    MotorolaCase{"S5030001FB", LineResult::unsupportedType, {}},
    MotorolaCase{"S70500000000FA", LineResult::unsupportedType, {}},
    MotorolaCase{"S804000000FB", LineResult::unsupportedType, {}},
    MotorolaCase{"S804000000FC", LineResult::checksumError, {}},
    MotorolaCase{"s9030000FC", LineResult::notARecord, {}},
    MotorolaCase{":00000001FF", LineResult::notARecord, {}},
    MotorolaCase{" S9030000FC", LineResult::notARecord, {}},
    // The count announces more than the line holds: nothing is read past its end.
    MotorolaCase{"S", LineResult::shorterThanCount, {}},
    MotorolaCase{"S1", LineResult::shorterThanCount, {}},
    MotorolaCase{"S1070010010203", LineResult::shorterThanCount, {}},
    MotorolaCase{"S107001001020304D", LineResult::shorterThanCount, {}},
    MotorolaCase{std::string("S107001001020304DE", 10) + '\0' + "01020304DE",
                 LineResult::shorterThanCount, {}},                  // the line ends at its zero byte
    MotorolaCase{"S1FF0010", LineResult::shorterThanCount, {}},
    // Data outside the image fails the record and stores nothing of it.
    MotorolaCase{"S20820000001020304CD", LineResult::outsideImage, {}},
    MotorolaCase{"S20801FFFE01020304EF", LineResult::outsideImage, {}},
    MotorolaCase{"S208FFFFFF01020304F0", LineResult::outsideImage, {}},
    MotorolaCase{"S204200000DB", LineResult::accepted, {}}  // no data: nothing falls outside
));

}  // namespace
}  // namespace karvel::firmware
