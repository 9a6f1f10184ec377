// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "fullness_records.h"
#include "initialize_range_page.h"

namespace karvel::ctl {
namespace {

using GroupCount = std::tuple<unsigned /*slots*/, unsigned /*groups*/>;

class RecordGroupCount : public ::testing::TestWithParam<GroupCount> {};

TEST_P(RecordGroupCount, CoversEverySlotWithGroupsOfAHundred) {
    auto [slots, groups] = GetParam();
    EXPECT_EQ(record_group_count(slots), groups);
}

INSTANTIATE_TEST_SUITE_P(Table, RecordGroupCount,
                         ::testing::Values(GroupCount{0, 0}, GroupCount{1, 1}, GroupCount{100, 1}, GroupCount{101, 2},
                                           GroupCount{250, 3}, GroupCount{25600, 256}));

using Marked = std::tuple<std::vector<uint8_t> /*first bytes of the group*/, unsigned /*offset*/, bool /*full*/>;

class RecordMarks : public ::testing::TestWithParam<Marked> {};

TEST_P(RecordMarks, ReadMostSignificantBitFirst) {
    auto [bytes, offset, full] = GetParam();
    std::array<uint8_t, kRecordGroupBytes> group{};
    std::copy(bytes.begin(), bytes.end(), group.begin());
    EXPECT_EQ(record_marks_full(group, offset), full) << "offset " << offset;
}

const std::vector<uint8_t> kLastSlotOnly = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
const std::vector<uint8_t> kLowBitsOfLastByte = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0F};

INSTANTIATE_TEST_SUITE_P(
    Table, RecordMarks,
    ::testing::Values(Marked{{0x80, 0x01}, 0, true}, Marked{{0x80, 0x01}, 15, true}, Marked{{0x80, 0x01}, 1, false},
                      Marked{{0x80, 0x01}, 7, false}, Marked{{0x80, 0x01}, 8, false}, Marked{{0x01}, 7, true},
                      Marked{kLastSlotOnly, 99, true}, Marked{kLastSlotOnly, 98, false},
                      Marked{kLowBitsOfLastByte, 99, false}, Marked{kLowBitsOfLastByte, 100, false}));

TEST(RecordsText, IsOneLinePerSlotCountedFromOne) {
    EXPECT_EQ(format_records({true, false, true}), "Slot 1:Full\nSlot 2:Empty\nSlot 3:Full\n");
    EXPECT_EQ(format_records({}), "");
}

using RangePage = std::tuple<uint16_t /*start*/, uint16_t /*stop*/, std::array<uint8_t, 10> /*list*/>;

class InitializeRangePage : public ::testing::TestWithParam<RangePage> {};

TEST_P(InitializeRangePage, HoldsStartAndStopHighByteFirst) {
    auto [start, stop, list] = GetParam();
    EXPECT_EQ(initialize_range_page(start, stop), list);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InitializeRangePage,
    ::testing::Values(RangePage{1, 100, {0, 0, 0, 0, 0x20, 0x04, 0x00, 0x01, 0x00, 0x64}},
                      RangePage{10, 20, {0, 0, 0, 0, 0x20, 0x04, 0x00, 0x0A, 0x00, 0x14}},
                      RangePage{0x4002, 0x0010, {0, 0, 0, 0, 0x20, 0x04, 0x40, 0x02, 0x00, 0x10}},
                      RangePage{0xFFFF, 0, {0, 0, 0, 0, 0x20, 0x04, 0xFF, 0xFF, 0x00, 0x00}}));

}  // namespace
}  // namespace karvel::ctl
