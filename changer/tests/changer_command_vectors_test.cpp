// SPDX-License-Identifier: MIT
// What each changer command puts into the request block and sends, and the guard's FFh.
#include <gtest/gtest.h>

#include <vector>

#include "command_vector.h"
#include <karvel/ostrik.h>

namespace karvel::test {
namespace {

const CommandVector kCases[] = {
    {"MoveMediumSlotToDrive", 0, [](SRBunion* s, uint8_t*) { return MoveMedium(s, 0x0100, 0x0004, 0); },
     {0xA5, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"MoveMediumLun5", 5, [](SRBunion* s, uint8_t*) { return MoveMedium(s, 0x0100, 0x0004, 0); },
     {0xA5, 0xA0, 0x00, 0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"MoveMediumLun9KeepsLowThreeBits", 9, [](SRBunion* s, uint8_t*) { return MoveMedium(s, 0x0100, 0x0004, 0); },
     {0xA5, 0x20, 0x00, 0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"MoveMediumTransportFirstInTheCdb", 0, [](SRBunion* s, uint8_t*) { return MoveMedium(s, 0x1234, 0x5678, 0x9ABC); },
     {0xA5, 0x00, 0x9A, 0xBC, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"ExchangeMedium", 0, [](SRBunion* s, uint8_t*) { return ExchangeMedium(s, 1, 2, 3, 4); },
     {0xA6, 0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00}, 0, false},
    {"ExchangeMediumLun7WideAddresses", 7,
     [](SRBunion* s, uint8_t*) { return ExchangeMedium(s, 0xA1A2, 0xB1B2, 0xC1C2, 0xFFFF); },
     {0xA6, 0xE0, 0xFF, 0xFF, 0xA1, 0xA2, 0xB1, 0xB2, 0xC1, 0xC2, 0x00, 0x00}, 0, false},
    {"PositionToElement", 0, [](SRBunion* s, uint8_t*) { return PositionToElement(s, 0x000A, 0x0001); },
     {0x2B, 0x00, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"PositionToElementLun2", 2, [](SRBunion* s, uint8_t*) { return PositionToElement(s, 0xFEDC, 0x0100); },
     {0x2B, 0x40, 0x01, 0x00, 0xFE, 0xDC, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"InitializeElementStatus", 0, [](SRBunion* s, uint8_t*) { return InitializeElementStatus(s); },
     {0x07, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"InitializeElementStatusLun3", 3, [](SRBunion* s, uint8_t*) { return InitializeElementStatus(s); },
     {0x07, 0x60, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"ReadElementStatusOneDrive", 0,
     [](SRBunion* s, uint8_t* b) { return ReadElementStatus(s, 4, 0x0010, 1, 36, b); },
     {0xB8, 0x04, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00}, 36, true},
    {"ReadElementStatusLengthCutTo24BitsInTheCdbOnly", 0,
     [](SRBunion* s, uint8_t*) { return ReadElementStatus(s, 2, 0x0100, 0x0200, 0x01000010, nullptr); },
     {0xB8, 0x02, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00}, 0x01000010, false},
    {"ReadElementStatusTypeOredUnmasked", 2,
     [](SRBunion* s, uint8_t* b) { return ReadElementStatus(s, 0x14, 0xABCD, 0xFFFF, 0x123456, b); },
     {0xB8, 0x54, 0xAB, 0xCD, 0xFF, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x00, 0x00}, 0x123456, true},
    {"ReadElementStatusTypeReachesTheLunBits", 1,
     [](SRBunion* s, uint8_t* b) { return ReadElementStatus(s, 0xC0, 0, 0, 0, b); },
     {0xB8, 0xE0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, true},
};

// Large enough for the biggest data phase the table lets the scripted layer copy into.
constexpr size_t kBufferSize = 0x200000;

class ChangerCommand : public ::testing::TestWithParam<CommandVector> {
protected:
    ScriptedAspi m_aspi;
    std::vector<uint8_t> m_buffer = std::vector<uint8_t>(kBufferSize);
};

TEST_P(ChangerCommand, SendsItsCdbAndDataPhase) { expectSendsItsRequest(GetParam(), m_aspi, m_buffer.data()); }

TEST_P(ChangerCommand, ReturnsTheFinalStatusOfAFailedRequest) {
    expectReturnsAFailedStatus(GetParam(), m_aspi, m_buffer.data());
}

TEST_P(ChangerCommand, GuardReturnsFFWhenSubmittingThrows) { expectGuardReturnsFF(GetParam(), m_aspi, m_buffer.data()); }

INSTANTIATE_TEST_SUITE_P(AllCommands, ChangerCommand, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace karvel::test
