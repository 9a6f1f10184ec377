// SPDX-License-Identifier: MIT
// Preparing a request block, and submitting it with a poll for completion.
#include <gtest/gtest.h>

#include <cstring>

#include <karvel/nevsel.h>
#include "scripted_aspi.h"

namespace karvel::test {
namespace {

constexpr uint8_t kFilled = 0xA5;
constexpr int kKept = -1;  // the byte keeps what the caller left

struct ByteRange {
    size_t first, last;
    int expected;  // a byte value, or kKept
};

// InitSRBexecute(srb, 10) on a block whose every byte was A5h.
const ByteRange kPreparedLayout[] = {
    {0, 0, SC_EXEC_SCSI_CMD},
    {1, 1, SS_COMP},
    {2, 3, kKept},    // HaId, Flags
    {4, 7, 0},        // Hdr_Rsvd
    {8, 9, kKept},    // Target, Lun
    {10, 11, 0},      // Rsvd1
    {12, 15, 0},      // BufLen
    {16, 19, 0},      // the 32-bit layout's buffer pointer place
    {20, 20, SENSE_LEN},
    {21, 21, 10},     // CDBLen
    {22, 23, kKept},  // HaStat, TargStat
    {24, 31, kKept},  // the 32-bit layout's PostProc place, reserved bytes
    {32, 39, 0},      // BufPointer
    {40, 47, kKept},  // PostProc
    {48, 79, 0},      // CDB and sense area, leftovers of an earlier request included
};

TEST(InitSRBexecute, PreparesAnEmptyRequestAndKeepsTheCallersFields) {
    SRBunion srb;
    std::memset(srb.raw, kFilled, sizeof srb.raw);
    InitSRBexecute(&srb, 10);
    for (const auto& range : kPreparedLayout)
        for (size_t i = range.first; i <= range.last; ++i)
            EXPECT_EQ(srb.raw[i], range.expected == kKept ? kFilled : range.expected) << "byte " << i;
}

struct PollCase {
    const char* name;
    uint8_t flags;
    bool completeLater;
    uint8_t finalStatus;
    uint8_t returned;
};

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

const PollCase kPollCases[] = {
    {"PollsUntilALateCompletion", 0, true, SS_COMP, SS_COMP},
    {"PollsUntilALateError", 0, true, SS_ERR, SS_ERR},
    {"ReturnsAnImmediateAbort", 0, false, SS_ABORTED, SS_ABORTED},
    {"PostingReturnsAtOnceWhilePending", SRB_POSTING, true, SS_COMP, SS_PENDING},
    {"EventNotifyReturnsAtOnceWhilePending", SRB_EVENT_NOTIFY, true, SS_ERR, SS_PENDING},
    {"PostingReturnsAnImmediateCompletion", SRB_POSTING, false, SS_COMP, SS_COMP},
};

class CallAspi32Poll : public ::testing::TestWithParam<PollCase> {};

TEST_P(CallAspi32Poll, ReturnsTheStatusItWaitedFor) {
    const PollCase& c = GetParam();
    ScriptedAspi aspi;
    Reply reply;
    reply.completeLater = c.completeLater;
    reply.status = c.finalStatus;
    reply.targetStatus = 0x08;
    aspi.queue(reply);
    SRBunion srb = addressedBlock(0, 1, 0);
    srb.exec.SRB_Flags = c.flags;
    InitSRBexecute(&srb, 6);

    EXPECT_EQ(CallAspi32(&srb), c.returned);
    if (c.returned != SS_PENDING) {
        EXPECT_EQ(srb.exec.SRB_TargStat, 0x08);  // written before the status
    }
    aspi.waitForLateCompletions();
    EXPECT_EQ(srb.exec.SRB_Status, c.finalStatus);
    EXPECT_EQ(aspi.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Flags, CallAspi32Poll, ::testing::ValuesIn(kPollCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(CallAspi32, ACommandWithPostingFlagsReturnsPendingAndCompletesLater) {
    ScriptedAspi aspi;
    Reply late;
    late.completeLater = true;
    aspi.queue(late);
    SRBunion srb = addressedBlock(0, 1, 0);
    srb.exec.SRB_Flags = SRB_POSTING;
    EXPECT_EQ(TestUnitReady(&srb), SS_PENDING);
    aspi.waitForLateCompletions();
    EXPECT_EQ(srb.exec.SRB_Status, SS_COMP);
}

}  // namespace
}  // namespace karvel::test
