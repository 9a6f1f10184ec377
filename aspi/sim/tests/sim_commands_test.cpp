// SPDX-License-Identifier: MIT
// Each command of the simulated changer on a fresh default jukebox (transport 0000h, slots
// 0001h-0032h with 1-30 full, port 0033h, drives 4000h-4001h): status, sense and data.
#include <gtest/gtest.h>

#include <cstring>

#include "opcode_direction.h"
#include "sim_test_support.h"

namespace aspi::sim::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct Row {
    const char* name;
    std::vector<std::string> keys;  // extra configuration keys
    Bytes cdb;
    size_t length;  // data buffer, when out is empty
    Bytes out;      // data-out bytes
    Status expected;
    Bytes data;     // expected first bytes of the data buffer
};

constexpr uint8_t I = 0x05, U = 0x06;  // ILLEGAL REQUEST, UNIT ATTENTION

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes zeros(size_t n) { return Bytes(n, 0); }

const Bytes kPage1D{0x1D, 0x12, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x32,
                    0x00, 0x33, 0x00, 0x01, 0x40, 0x00, 0x00, 0x02, 0x00, 0x00};
const Bytes kRange10To20{0x00, 0x00, 0x00, 0x00, 0x20, 0x04, 0x00, 0x0A, 0x00, 0x14};

const Row kRows[] = {
    {"TestUnitReady", {}, kTestUnitReady, 0, {}, kGood, {}},
    {"Inquiry", {}, {0x12, 0, 0, 0, 36, 0}, 36, {}, kGood,
     concat({{0x08, 0x00, 0x02, 0x02, 0x1F, 0x00, 0x00, 0x00}, text("KARVEL  DISC JUKEBOX    1.00")})},
    {"InquiryTruncated", {}, {0x12, 0, 0, 0, 5, 0}, 8, {}, kGood, {0x08, 0x00, 0x02, 0x02, 0x1F, 0, 0, 0}},
    {"InquiryVitalProductData", {}, {0x12, 1, 0, 0, 36, 0}, 36, {}, check(I, 0x24, 0), {}},
    {"RequestSenseNothingPending", {}, {0x03, 0, 0, 0, 18, 0}, 18, {}, kGood,
     {0x70, 0, 0, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0, 0}},
    {"ModeSenseElementAddresses", {}, {0x1A, 0, 0x1D, 0, 31, 0}, 31, {}, kGood,
     concat({{0x17, 0, 0, 0}, kPage1D})},
    {"ModeSenseTruncated", {}, {0x1A, 0, 0x1D, 0, 4, 0}, 31, {}, kGood, {0x17, 0, 0, 0, 0}},
    {"ModeSenseBlockDescriptor", {"block_descriptor=8"}, {0x1A, 0, 0x1D, 0, 31, 0}, 31, {}, kGood,
     concat({{0x1F, 0, 0, 8}, zeros(8), Bytes(kPage1D.begin(), kPage1D.begin() + 19)})},
    {"ModeSenseBlockDescriptorDisabled", {"block_descriptor=8"}, {0x1A, 0x08, 0x1D, 0, 31, 0}, 31, {}, kGood,
     concat({{0x17, 0, 0, 0}, kPage1D})},
    {"ModeSenseInitRange", {}, {0x1A, 0, 0x20, 0, 12, 0}, 12, {}, kGood,
     {0x09, 0, 0, 0, 0x20, 0x04, 0x00, 0x01, 0x00, 0x32}},
    {"ModeSenseInitRangeChangeable", {}, {0x1A, 0, 0x60, 0, 12, 0}, 12, {}, kGood,
     {0x09, 0, 0, 0, 0x20, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}},
    {"ModeSenseAllPages", {}, {0x1A, 0, 0x3F, 0, 0xFF, 0}, 40, {}, kGood,
     concat({{0x1D, 0, 0, 0}, kPage1D, {0x20, 0x04, 0x00, 0x01, 0x00, 0x32}})},
    {"ModeSenseUnknownPage", {}, {0x1A, 0, 0x05, 0, 31, 0}, 31, {}, check(I, 0x24, 0), {}},
    {"ModeSense10", {}, {0x5A, 0, 0x1D, 0, 0, 0, 0, 0, 64, 0}, 64, {}, kGood,
     concat({{0x00, 0x1A, 0, 0, 0, 0, 0, 0}, kPage1D})},
    {"ModeSelectInitRange", {}, {0x15, 0x10, 0, 0, 10, 0}, 0, kRange10To20, kGood, {}},
    {"ModeSelectOtherPage", {}, {0x15, 0x10, 0, 0, 10, 0}, 0,
     {0, 0, 0, 0, 0x1D, 0x04, 0, 0x0A, 0, 0x14}, check(I, 0x26, 0), {}},
    {"ModeSelectStartAfterStop", {}, {0x15, 0x10, 0, 0, 10, 0}, 0,
     {0, 0, 0, 0, 0x20, 0x04, 0, 0x14, 0, 0x0A}, check(I, 0x26, 0), {}},
    {"ModeSelectStopNoElement", {}, {0x15, 0x10, 0, 0, 10, 0}, 0,
     {0, 0, 0, 0, 0x20, 0x04, 0, 0x01, 0x90, 0x00}, check(I, 0x26, 0), {}},
    {"ModeSelectPageCut", {}, {0x15, 0x10, 0, 0, 8, 0}, 0, {0, 0, 0, 0, 0x20, 0x04, 0, 0x0A},
     check(I, 0x26, 0), {}},
    {"ModeSelectSavePages", {}, {0x15, 0x11, 0, 0, 10, 0}, 0, kRange10To20, check(I, 0x24, 0), {}},
    {"ModeSelectNoPageFormat", {}, {0x15, 0x00, 0, 0, 10, 0}, 0, kRange10To20, check(I, 0x24, 0), {}},
    {"ModeSelectShortBuffer", {}, {0x15, 0x10, 0, 0, 10, 0}, 0, {0, 0, 0, 0}, {SS_ERR, HASTAT_DO_DU, 0, 0, 0}, {}},
    {"ModeSelect10InitRange", {}, {0x55, 0x10, 0, 0, 0, 0, 0, 0, 14, 0}, 0,
     concat({zeros(8), {0x20, 0x04, 0, 0x0A, 0, 0x14}}), kGood, {}},
    {"ReadStatusSlots", {}, statusCdb(2, 0x0001, 2, 64), 64, {}, kGood,
     concat({{0x00, 0x01, 0x00, 0x02, 0, 0x00, 0x00, 0x28}, {0x02, 0, 0x00, 0x10, 0, 0x00, 0x00, 0x20},
             {0x00, 0x01, 0x09}, zeros(13), {0x00, 0x02, 0x09}, zeros(13)})},
    {"ReadStatusEmptySlot", {}, statusCdb(2, 0x0031, 1, 32), 32, {}, kGood,
     concat({{0x00, 0x31, 0x00, 0x01, 0, 0, 0, 0x18}, {0x02, 0, 0, 0x10, 0, 0, 0, 0x10}, {0x00, 0x31, 0x08}, zeros(13)})},
    {"ReadStatusTransport", {}, statusCdb(1, 0x0000, 1, 32), 32, {}, kGood,
     concat({{0, 0, 0, 1, 0, 0, 0, 0x18}, {0x01, 0, 0, 0x10, 0, 0, 0, 0x10}, zeros(16)})},
    {"ReadStatusPort", {}, statusCdb(3, 0x0033, 1, 32), 32, {}, kGood,
     concat({{0, 0x33, 0, 1, 0, 0, 0, 0x18}, {0x03, 0, 0, 0x10, 0, 0, 0, 0x10}, {0x00, 0x33, 0x38}, zeros(13)})},
    {"ReadStatusDrives", {}, statusCdb(4, 0x4000, 2, 48), 48, {}, kGood,
     concat({{0x40, 0, 0, 2, 0, 0, 0, 0x28}, {0x04, 0, 0, 0x10, 0, 0, 0, 0x20}, {0x40, 0x00, 0x08}, zeros(13),
             {0x40, 0x01, 0x08}, zeros(13)})},
    {"ReadStatusAllTypesPages", {}, statusCdb(0, 0x0032, 3, 0x80), 0x80, {}, kGood,
     concat({{0, 0x32, 0, 3, 0, 0, 0, 0x48}, {0x02, 0, 0, 0x10, 0, 0, 0, 0x10}, {0x00, 0x32, 0x08}, zeros(13),
             {0x03, 0, 0, 0x10, 0, 0, 0, 0x10}, {0x00, 0x33, 0x38}, zeros(13),
             {0x04, 0, 0, 0x10, 0, 0, 0, 0x10}, {0x40, 0x00, 0x08}})},
    {"ReadStatusHeaderOnly", {}, statusCdb(2, 0x0001, 50, 8), 16, {}, kGood,
     {0, 0x01, 0, 0x32, 0, 0x00, 0x03, 0x28, 0, 0}},
    {"ReadStatusBadType", {}, statusCdb(5, 0x0001, 1, 32), 32, {}, check(I, 0x24, 0), {}},
    {"ReadStatusVolumeTags", {}, statusCdb(0x12, 0x0001, 1, 32), 32, {}, check(I, 0x24, 0), {}},
    {"ReadStatusNoElement", {}, statusCdb(4, 0x9000, 1, 32), 32, {}, check(I, 0x21, 0x01), {}},
    {"MoveSlotToDrive", {}, moveCdb(0x0001, 0x4000), 0, {}, kGood, {}},
    {"MoveSlotToTransport", {}, moveCdb(0x0001, 0x0000), 0, {}, kGood, {}},
    {"MoveSourceEmpty", {}, moveCdb(0x0028, 0x4000), 0, {}, check(I, 0x3B, 0x0E), {}},
    {"MoveDestinationFull", {}, moveCdb(0x0001, 0x0002), 0, {}, check(I, 0x3B, 0x0D), {}},
    {"MoveToItself", {}, moveCdb(0x0001, 0x0001), 0, {}, check(I, 0x3B, 0x0D), {}},
    {"MoveNoSuchDestination", {}, moveCdb(0x0001, 0x5000), 0, {}, check(I, 0x21, 0x01), {}},
    {"MoveNoSuchTransport", {}, moveCdb(0x0001, 0x4000, 0x0007), 0, {}, check(I, 0x21, 0x01), {}},
    {"MoveInverted", {}, {0xA5, 0, 0, 0, 0, 1, 0x40, 0, 0, 0, 1, 0}, 0, {}, check(I, 0x24, 0), {}},
    {"MoveShortCdb", {}, {0xA5, 0, 0, 0, 0, 1}, 0, {}, check(I, 0x24, 0), {}},
    {"ExchangeSwap", {}, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0, 1, 0, 0}, 0, {}, kGood, {}},
    {"ExchangeIntoEmpty", {}, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0, 0x28, 0, 0}, 0, {}, kGood, {}},
    {"ExchangeWithItself", {}, {0xA6, 0, 0, 0, 0, 1, 0, 1, 0, 2, 0, 0}, 0, {}, check(I, 0x21, 0x80), {}},
    {"ExchangeBackIntoFirst", {}, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0, 2, 0, 0}, 0, {}, check(I, 0x21, 0x80), {}},
    {"ExchangeFirstEmpty", {}, {0xA6, 0, 0, 0, 0, 1, 0, 0x28, 0, 0x29, 0, 0}, 0, {}, check(I, 0x3B, 0x0E), {}},
    {"ExchangeSecondFull", {}, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 0}, 0, {}, check(I, 0x3B, 0x0D), {}},
    {"ExchangeNoSuchElement", {}, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0x90, 0, 0, 0}, 0, {}, check(I, 0x21, 0x01), {}},
    {"PositionToPort", {}, {0x2B, 0, 0, 0, 0, 0x33, 0, 0, 0, 0}, 0, {}, kGood, {}},
    {"PositionNoSuchElement", {}, {0x2B, 0, 0, 0, 0x90, 0, 0, 0, 0, 0}, 0, {}, check(I, 0x21, 0x01), {}},
    {"InitializeElementStatus", {}, {0x07, 0, 0, 0, 0, 0}, 0, {}, kGood, {}},
    {"Rezero", {}, {0x01, 0, 0, 0, 0, 0}, 0, {}, kGood, {}},
    {"ReadBufferRecords", {}, {0x3C, 2, 0, 0, 0, 0, 0, 0, 13, 0}, 13, {}, kGood,
     {0xFF, 0xFF, 0xFF, 0xFC, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"ReadBufferAtOffset", {}, {0x3C, 2, 0, 0, 0, 2, 0, 0, 11, 0}, 11, {}, kGood, {0xFF, 0xFC, 0x00}},
    {"ReadBufferPastLastGroup", {}, {0x3C, 2, 1, 0, 0, 0, 0, 0, 13, 0}, 13, {}, check(I, 0x24, 0), {}},
    {"ReadBufferSecondGroup", {"slots=101", "full=101"}, {0x3C, 2, 1, 0, 0, 0, 0, 0, 13, 0}, 13, {}, kGood,
     {0x80, 0, 0}},
    {"ReadBufferDescriptor", {}, {0x3C, 3, 0, 0, 0, 0, 0, 0, 4, 0}, 4, {}, kGood, {0x00, 0x00, 0x00, 0x0D}},
    {"ReadBufferOtherMode", {}, {0x3C, 0, 0, 0, 0, 0, 0, 0, 13, 0}, 13, {}, check(I, 0x24, 0), {}},
    {"WriteBufferRecords", {}, {0x3B, 2, 0, 0, 0, 0, 0, 0, 13, 0}, 0, zeros(13), kGood, {}},
    {"WriteBufferPastLastGroup", {}, {0x3B, 2, 1, 0, 0, 0, 0, 0, 13, 0}, 0, zeros(13), check(I, 0x24, 0), {}},
    {"WriteBufferTooLong", {}, {0x3B, 2, 0, 0, 0, 0, 0, 0, 14, 0}, 0, zeros(14), check(I, 0x24, 0), {}},
    {"WriteBufferShortBuffer", {}, {0x3B, 2, 0, 0, 0, 0, 0, 0, 13, 0}, 0, zeros(5), {SS_ERR, HASTAT_DO_DU, 0, 0, 0}, {}},
    {"WriteBufferFirmware", {}, {0x3B, 5, 15, 0, 0, 0, 0x02, 0x00, 0x00, 0}, 131072, {}, kGood, {}},
    {"WriteBufferFirmwareShort", {}, {0x3B, 5, 15, 0, 0, 0, 0x01, 0x00, 0x00, 0}, 65536, {}, check(I, 0x24, 0), {}},
    {"WriteBufferFirmwareOtherBuffer", {}, {0x3B, 5, 14, 0, 0, 0, 0x02, 0x00, 0x00, 0}, 131072, {}, check(I, 0x24, 0), {}},
    {"WriteBufferFirmwareNoSave", {}, {0x3B, 4, 15, 0, 0, 0, 0x02, 0x00, 0x00, 0}, 131072, {}, check(I, 0x24, 0), {}},
    {"UnknownOperationCode", {}, {0x28, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, {}, check(I, 0x20, 0), {}},
    {"Reserve", {}, {0x16, 0, 0, 0, 0, 0}, 0, {}, check(I, 0x20, 0), {}},
};

class CommandTable : public ::testing::TestWithParam<Row> {};

TEST_P(CommandTable, AnswersWithStatusSenseAndData) {
    const Row& row = GetParam();
    ScratchDir dir;
    auto jukebox = openJukebox(dir.path("jukebox"), row.keys);
    ASSERT_EQ(send(*jukebox, kTestUnitReady).status(), check(U, 0x29, 0x00));
    ASSERT_EQ(send(*jukebox, kTestUnitReady).status(), kGood);

    Reply reply = send(*jukebox, row.cdb, row.length, row.out);
    EXPECT_EQ(reply.status(), row.expected);
    EXPECT_EQ(reply.result.targetStatus, row.expected.aspi == SS_ERR && row.expected.key ? 2 : 0);
    ASSERT_GE(reply.data.size(), row.data.size());
    EXPECT_EQ(Bytes(reply.data.begin(), reply.data.begin() + row.data.size()), row.data);
}

INSTANTIATE_TEST_SUITE_P(Sim, CommandTable, ::testing::ValuesIn(kRows),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(CommandTable, EveryTableOpcodeHasADataDirection) {
    for (const auto& entry : ChangerDevice::commands()) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(directionOf(entry.opcode).has_value());
    }
}

}  // namespace
}  // namespace aspi::sim::testing
