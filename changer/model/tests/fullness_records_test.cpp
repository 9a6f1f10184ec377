// SPDX-License-Identifier: MIT
// The fullness records: groups of 100 slots, the bits of a group, and the READ BUFFER and
// WRITE BUFFER that read and clear one.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "changer_model/fullness_records.h"
#include "scripted_aspi.h"

namespace karvel::model {
namespace {

using GroupCount = std::tuple<unsigned /*slots*/, unsigned /*groups*/>;

class RecordGroupCount : public ::testing::TestWithParam<GroupCount> {};

TEST_P(RecordGroupCount, CoversEverySlotWithGroupsOfAHundred) {
    auto [slots, groups] = GetParam();
    EXPECT_EQ(recordGroupCount(slots), groups);
}

INSTANTIATE_TEST_SUITE_P(Table, RecordGroupCount,
                         ::testing::Values(GroupCount{0, 0}, GroupCount{1, 1}, GroupCount{100, 1}, GroupCount{101, 2},
                                           GroupCount{250, 3}, GroupCount{25600, 256}, GroupCount{25601, 257},
                                           GroupCount{UINT32_MAX, 42949673}));

using SlotPlace = std::tuple<unsigned /*slot index*/, unsigned /*group*/, unsigned /*offset*/>;

class RecordPlace : public ::testing::TestWithParam<SlotPlace> {};

TEST_P(RecordPlace, IsTheGroupOfItsHundredAndTheOffsetInIt) {
    auto [index, group, offset] = GetParam();
    EXPECT_EQ(std::make_tuple(recordGroupOf(index), recordOffsetOf(index)), std::make_tuple(group, offset));
}

INSTANTIATE_TEST_SUITE_P(Table, RecordPlace,
                         ::testing::Values(SlotPlace{0, 0, 0}, SlotPlace{99, 0, 99}, SlotPlace{100, 1, 0},
                                           SlotPlace{201, 2, 1}, SlotPlace{25599, 255, 99}, SlotPlace{25600, 256, 0}));

using Marked = std::tuple<std::vector<uint8_t> /*first bytes of the group*/, unsigned /*offset*/, bool /*full*/>;

class RecordMarks : public ::testing::TestWithParam<Marked> {};

TEST_P(RecordMarks, ReadMostSignificantBitFirst) {
    auto [bytes, offset, full] = GetParam();
    std::array<uint8_t, kRecordGroupBytes> group{};
    std::copy(bytes.begin(), bytes.end(), group.begin());
    EXPECT_EQ(recordMarksFull(group, offset), full) << "offset " << offset;
}

const std::vector<uint8_t> kLastSlotOnly = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
const std::vector<uint8_t> kLowBitsOfLastByte = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0F};
const std::vector<uint8_t> kAllSet(13, 0xFF);

INSTANTIATE_TEST_SUITE_P(
    Table, RecordMarks,
    ::testing::Values(Marked{{0x80, 0x01}, 0, true}, Marked{{0x80, 0x01}, 15, true}, Marked{{0x80, 0x01}, 1, false},
                      Marked{{0x80, 0x01}, 7, false}, Marked{{0x80, 0x01}, 8, false}, Marked{{0x01}, 7, true},
                      Marked{kLastSlotOnly, 99, true}, Marked{kLastSlotOnly, 98, false},
                      Marked{kLowBitsOfLastByte, 99, false}, Marked{kLowBitsOfLastByte, 100, false},
                      Marked{kAllSet, 100, false}, Marked{kAllSet, 103, false}, Marked{kAllSet, UINT32_MAX, false}));

TEST(RecordCommands, ReadAndClearOneGroupByItsBufferId) {
    test::ScriptedAspi aspi;
    test::Reply group;
    group.dataIn = {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10};
    aspi.queue(group);
    SRBunion srb = test::addressedBlock(0, 4, 0);
    std::array<uint8_t, kRecordGroupBytes> into{};
    ASSERT_EQ(readRecordGroup(&srb, 7, into), SS_COMP);
    EXPECT_TRUE(recordMarksFull(into, 0));
    EXPECT_TRUE(recordMarksFull(into, 99));
    ASSERT_EQ(clearRecordGroup(&srb, 255), SS_COMP);

    const std::vector<test::SeenRequest> seen = aspi.requests();
    ASSERT_EQ(seen.size(), 2u);
    // READ BUFFER and WRITE BUFFER in data mode, buffer offset 0, 13 bytes.
    EXPECT_EQ(seen[0].cdb, (std::vector<uint8_t>{0x3C, 0x02, 7, 0, 0, 0, 0, 0, 13, 0}));
    EXPECT_EQ(seen[0].bufLen, 13u);
    EXPECT_EQ(seen[1].cdb, (std::vector<uint8_t>{0x3B, 0x02, 255, 0, 0, 0, 0, 0, 13, 0}));
    EXPECT_EQ(seen[1].dataOut, std::vector<uint8_t>(13, 0));
}

}  // namespace
}  // namespace karvel::model
