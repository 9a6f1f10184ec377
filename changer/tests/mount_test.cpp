// SPDX-License-Identifier: MIT
// Mount and UnMount as the command sequences they send to a scripted changer.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <karvel/ostrik.h>
#include "scripted_aspi.h"
#include "scsi_codes.h"

namespace karvel::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kSource = 0x0021;
constexpr uint16_t kDrive = 0x00E0;
constexpr uint16_t kHome = 0x0033;

const Bytes kTestUnitReady = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes kReadDrive = {0xB8, 0x04, 0x00, 0xE0, 0x00, 0x01, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00};
const Bytes kMoveIn = {0xA5, 0x00, 0x00, 0x00, 0x00, 0x21, 0x00, 0xE0, 0x00, 0x00, 0x00, 0x00};
const Bytes kMoveHome = {0xA5, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x00, 0x33, 0x00, 0x00, 0x00, 0x00};
const Bytes kMoveHomeTransport1 = {0xA5, 0x00, 0x00, 0x01, 0x00, 0xE0, 0x00, 0x33, 0x00, 0x00, 0x00, 0x00};
const Bytes kMoveToEmptyHome = {0xA5, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x00, 0x44, 0x00, 0x00, 0x00, 0x00};

// A READ ELEMENT STATUS answer for one drive: headers, then one descriptor whose byte 2 (the
// report's byte 18) is flags: Full is bit 0, Access (common on real drives) bit 3.
Reply driveReportWithFlags(uint8_t flags, uint16_t sourceAddress) {
    Reply reply;
    reply.dataIn.assign(36, 0);
    reply.dataIn[16] = kDrive >> 8;
    reply.dataIn[17] = kDrive & 0xFF;
    reply.dataIn[18] = flags;
    reply.dataIn[26] = static_cast<uint8_t>(sourceAddress >> 8);
    reply.dataIn[27] = static_cast<uint8_t>(sourceAddress);
    return reply;
}

Reply driveReport(bool full, uint16_t sourceAddress) { return driveReportWithFlags(full ? 0x01 : 0x00, sourceAddress); }

Reply completed() { return Reply{}; }
Reply thrown() {
    Reply reply;
    reply.throwOnSubmit = true;
    return reply;
}
Reply destinationFull() { return Reply::checkCondition(scsi::ILLEGAL_REQUEST, 0x3B, 0x0D); }
Reply sourceEmpty() { return Reply::checkCondition(scsi::ILLEGAL_REQUEST, 0x3B, 0x0E); }

struct SequenceCase {
    const char* name;
    std::function<uint8_t(SRBunion*)> run;
    std::vector<Reply> replies;
    std::vector<Bytes> sent;
    uint8_t result;
    uint8_t blockStatus;  // SRB_Status afterwards
    uint8_t asc, ascq;    // sense left in the block
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

uint8_t mount(SRBunion* srb) { return Mount(srb, kSource, kDrive, 0); }
uint8_t unmount(SRBunion* srb) { return UnMount(srb, kDrive, 0); }

const SequenceCase kCases[] = {
    {"MountEmptyDriveMovesDirectly", mount,
     {completed(), completed(), driveReport(false, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    // Only the Full bit of byte 18 tells a full drive from an empty one.
    {"MountOfAnEmptyDriveWithAccessSetMovesDirectly", mount,
     {completed(), completed(), driveReportWithFlags(0x08, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountOfAnEmptyDriveWithEveryOtherBitSetMovesDirectly", mount,
     {completed(), completed(), driveReportWithFlags(0xFE, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountOfAFullDriveWithAccessSetSendsItsDiscHomeFirst", mount,
     {completed(), completed(), driveReportWithFlags(0x09, kHome), driveReportWithFlags(0x09, kHome), completed(),
      completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kReadDrive, kMoveHome, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountGoesOnAfterAUnitAttention", mount,
     {Reply::checkCondition(scsi::UNIT_ATTENTION, 0x29, 0x00), completed(), driveReport(false, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountFullDriveSendsItsDiscHomeFirst", mount,
     {completed(), completed(), driveReport(true, kHome), driveReport(true, kHome), completed(), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kReadDrive, kMoveHome, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountIgnoresAFailedUnload", mount,
     {completed(), completed(), driveReport(true, kHome), driveReport(true, kHome), destinationFull(),
      destinationFull(), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kReadDrive, kMoveHome, kMoveHome, kMoveIn},
     SS_COMP, SS_COMP, 0, 0},
    {"MountRetriesAFailedMoveOnce", mount,
     {completed(), completed(), driveReport(false, 0), destinationFull(), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountReturnsTheSecondMoveOfTwoFailures", mount,
     {completed(), completed(), driveReport(false, 0), destinationFull(), sourceEmpty()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn, kMoveIn}, SS_ERR, SS_ERR, 0x3B, 0x0E},
    {"MountStopsAtAFailedSecondTestUnitReady", mount,
     {completed(), Reply::checkCondition(scsi::NOT_READY, 0x04, 0x03)},
     {kTestUnitReady, kTestUnitReady}, SS_ERR, SS_ERR, 0x04, 0x03},
    {"MountStopsAtAFailedElementStatusRead", mount,
     {completed(), completed(), Reply::checkCondition(scsi::ILLEGAL_REQUEST, 0x21, 0x01)},
     {kTestUnitReady, kTestUnitReady, kReadDrive}, SS_ERR, SS_ERR, 0x21, 0x01},
    {"MountIgnoresItsThirdValue", [](SRBunion* s) { return Mount(s, kSource, kDrive, 0xFFFF); },
     {completed(), completed(), driveReport(true, kHome), driveReport(true, kHome), completed(), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kReadDrive, kMoveHome, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountIgnoresItsThirdValueEvenAsATransport", [](SRBunion* s) { return Mount(s, kSource, kDrive, 1); },
     {completed(), completed(), driveReport(false, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    // A nested command that caught a failure returns FFh while the block still says 01h
    // from its preparation: Mount and UnMount pass on the FFh.
    {"MountReturnsACaughtFailureOfTheSecondTestUnitReady", mount,
     {completed(), thrown()}, {kTestUnitReady, kTestUnitReady}, 0xFF, SS_COMP, 0, 0},
    {"MountReturnsACaughtFailureOfTheElementStatusRead", mount,
     {completed(), completed(), thrown()}, {kTestUnitReady, kTestUnitReady, kReadDrive}, 0xFF, SS_COMP, 0, 0},
    {"MountIgnoresACaughtFailureOfTheFirstTestUnitReady", mount,
     {thrown(), completed(), driveReport(false, 0), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountRetriesAMoveThatCaughtAFailure", mount,
     {completed(), completed(), driveReport(false, 0), thrown(), completed()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn, kMoveIn}, SS_COMP, SS_COMP, 0, 0},
    {"MountReturnsACaughtFailureOfBothMoves", mount,
     {completed(), completed(), driveReport(false, 0), thrown(), thrown()},
     {kTestUnitReady, kTestUnitReady, kReadDrive, kMoveIn, kMoveIn}, 0xFF, SS_COMP, 0, 0},

    {"UnMountSendsTheDiscHomeWithTheGivenTransport", [](SRBunion* s) { return UnMount(s, kDrive, 1); },
     {driveReport(true, kHome), completed()}, {kReadDrive, kMoveHomeTransport1}, SS_COMP, SS_COMP, 0, 0},
    {"UnMountOfAnEmptyDriveStillMovesTwice", unmount,
     {driveReport(false, 0x0044), sourceEmpty(), sourceEmpty()},
     {kReadDrive, kMoveToEmptyHome, kMoveToEmptyHome}, SS_ERR, SS_ERR, 0x3B, 0x0E},
    {"UnMountRetriesAFailedMoveOnce", unmount,
     {driveReport(true, kHome), destinationFull(), completed()},
     {kReadDrive, kMoveHome, kMoveHome}, SS_COMP, SS_COMP, 0, 0},
    {"UnMountRetriesWithTheGivenTransport", [](SRBunion* s) { return UnMount(s, kDrive, 1); },
     {driveReport(true, kHome), destinationFull(), completed()},
     {kReadDrive, kMoveHomeTransport1, kMoveHomeTransport1}, SS_COMP, SS_COMP, 0, 0},
    {"UnMountReturnsTheSecondMoveOfTwoFailures", unmount,
     {driveReport(true, kHome), sourceEmpty(), destinationFull()},
     {kReadDrive, kMoveHome, kMoveHome}, SS_ERR, SS_ERR, 0x3B, 0x0D},
    {"UnMountStopsAtAFailedElementStatusRead", unmount,
     {Reply::checkCondition(scsi::HARDWARE_ERROR, 0x15, 0x01)}, {kReadDrive}, SS_ERR, SS_ERR, 0x15, 0x01},
    {"UnMountReturnsACaughtFailureOfTheElementStatusRead", unmount,
     {thrown()}, {kReadDrive}, 0xFF, SS_COMP, 0, 0},
};

class MountSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(MountSequence, SendsTheCommandsAndReturnsTheOutcome) {
    const SequenceCase& c = GetParam();
    ScriptedAspi aspi;
    for (const Reply& reply : c.replies) aspi.queue(reply);
    SRBunion srb = addressedBlock(0, 2, 0);

    EXPECT_EQ(c.run(&srb), c.result);

    std::vector<Bytes> sent;
    for (const auto& request : aspi.requests()) sent.push_back(request.cdb);
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(srb.exec.SRB_Status, c.blockStatus);
    EXPECT_EQ(srb.exec.SenseArea[12], c.asc);
    EXPECT_EQ(srb.exec.SenseArea[13], c.ascq);
}

INSTANTIATE_TEST_SUITE_P(Composites, MountSequence, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The unload inside Mount reads into its own buffer: Mount's report of the drive survives it.
TEST(MountReports, UnloadLeavesTheReportOfMountAlone) {
    ScriptedAspi aspi;
    aspi.queue(completed());
    aspi.queue(completed());
    aspi.queue(driveReport(true, kHome));
    aspi.queue(driveReport(false, 0x0044));  // UnMount's read: a different home
    SRBunion srb = addressedBlock(0, 2, 0);
    EXPECT_EQ(Mount(&srb, kSource, kDrive, 0), SS_COMP);
    auto seen = aspi.requests();
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_NE(seen[2].buffer, seen[3].buffer);
    EXPECT_EQ(seen[4].cdb, kMoveToEmptyHome);
}

}  // namespace
}  // namespace karvel::test
