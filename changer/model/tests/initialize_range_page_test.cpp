// SPDX-License-Identifier: MIT
// The initialize-range parameter list: mode page 20h holding start and stop.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "changer_model/initialize_range_page.h"

namespace karvel::model {
namespace {

using RangePage = std::tuple<uint16_t /*start*/, uint16_t /*stop*/, std::array<uint8_t, 10> /*list*/>;

class InitializeRangePage : public ::testing::TestWithParam<RangePage> {};

TEST_P(InitializeRangePage, HoldsStartAndStopHighByteFirst) {
    auto [start, stop, list] = GetParam();
    EXPECT_EQ(initializeRangeList(start, stop), list);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InitializeRangePage,
    ::testing::Values(RangePage{1, 100, {0, 0, 0, 0, 0x20, 0x04, 0x00, 0x01, 0x00, 0x64}},
                      RangePage{10, 20, {0, 0, 0, 0, 0x20, 0x04, 0x00, 0x0A, 0x00, 0x14}},
                      RangePage{0x4002, 0x0010, {0, 0, 0, 0, 0x20, 0x04, 0x40, 0x02, 0x00, 0x10}},
                      RangePage{0xFFFF, 0, {0, 0, 0, 0, 0x20, 0x04, 0xFF, 0xFF, 0x00, 0x00}}));

}  // namespace
}  // namespace karvel::model
