// SPDX-License-Identifier: MIT
// What each standard command puts into the request block and sends: CDB bytes, CDB
// length, data phase length and buffer; and the guard's FFh when submitting throws.
#include <gtest/gtest.h>

#include <vector>

#include "command_vector.h"
#include <karvel/nevsel.h>

namespace karvel::test {
namespace {


// The buffer passed to a case is large enough for every data phase that the table copies;
// the two cases beyond it pass no buffer, so only the CDB and SRB_BufLen count.
constexpr size_t kBufferSize = 0x20000;

const CommandVector kCases[] = {
    {"TestUnitReadyLun0", 0, [](SRBunion* s, uint8_t*) { return TestUnitReady(s); },
     {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"TestUnitReadyLun5", 5, [](SRBunion* s, uint8_t*) { return TestUnitReady(s); },
     {0x00, 0xA0, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"TestUnitReadyLun9KeepsLowThreeBits", 9, [](SRBunion* s, uint8_t*) { return TestUnitReady(s); },
     {0x00, 0x20, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"RezeroLun3", 3, [](SRBunion* s, uint8_t*) { return Rezero(s); },
     {0x01, 0x60, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"RequestSense", 0, [](SRBunion* s, uint8_t* b) { return RequestSense(s, b); },
     {0x03, 0x00, 0x00, 0x00, 0x12, 0x00}, 18, true},
    {"InquiryLun1", 1, [](SRBunion* s, uint8_t* b) { return Inquiry(s, b); },
     {0x12, 0x20, 0x00, 0x00, 0x2F, 0x00}, 47, true},
    {"ModeSelect6VendorPage", 0, [](SRBunion* s, uint8_t* b) { return ModeSelect6(s, 1, 0, 10, b); },
     {0x15, 0x10, 0x00, 0x00, 0x0A, 0x00}, 10, true},
    {"ModeSelect6OnlyBit0OfFlags", 0, [](SRBunion* s, uint8_t* b) { return ModeSelect6(s, 2, 3, 10, b); },
     {0x15, 0x01, 0x00, 0x00, 0x0A, 0x00}, 10, true},
    {"ModeSelect6Lun7AllFlags", 7, [](SRBunion* s, uint8_t* b) { return ModeSelect6(s, 1, 1, 255, b); },
     {0x15, 0xF1, 0x00, 0x00, 0xFF, 0x00}, 255, true},
    {"ReserveExtentListLengthWithoutData", 0,
     [](SRBunion* s, uint8_t*) { return Reserve(s, 1, 3, 1, 2, 0x0108); },
     {0x16, 0x17, 0x02, 0x01, 0x08, 0x00}, 0, false},
    {"ReserveLun1DeviceIdCut", 1, [](SRBunion* s, uint8_t*) { return Reserve(s, 0, 9, 0, 0xFF, 0xFFFF); },
     {0x16, 0x22, 0xFF, 0xFF, 0xFF, 0x00}, 0, false},
    {"ReleaseAllFields", 0, [](SRBunion* s, uint8_t*) { return Release(s, 1, 6, 1, 7); },
     {0x17, 0x1D, 0x07, 0x00, 0x00, 0x00}, 0, false},
    {"ReleaseDeviceId9", 0, [](SRBunion* s, uint8_t*) { return Release(s, 0, 9, 0, 0); },
     {0x17, 0x02, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"ReleaseOnlyBit0OfFlags", 0, [](SRBunion* s, uint8_t*) { return Release(s, 2, 0, 3, 0); },
     {0x17, 0x01, 0x00, 0x00, 0x00, 0x00}, 0, false},
    {"ModeSense6ElementAddressPage", 0,
     [](SRBunion* s, uint8_t* b) { return ModeSense6(s, 0, 0, 0x1D, 31, b); },
     {0x1A, 0x00, 0x1D, 0x00, 0x1F, 0x00}, 31, true},
    {"ModeSense6FieldsCut", 0, [](SRBunion* s, uint8_t* b) { return ModeSense6(s, 3, 5, 0x60, 4, b); },
     {0x1A, 0x08, 0x60, 0x00, 0x04, 0x00}, 4, true},
    {"ModeSense6Lun2AllPages", 2, [](SRBunion* s, uint8_t* b) { return ModeSense6(s, 1, 3, 0x3F, 255, b); },
     {0x1A, 0x48, 0xFF, 0x00, 0xFF, 0x00}, 255, true},
    {"ReceiveDiagnostic", 0, [](SRBunion* s, uint8_t* b) { return ReceiveDiagnostic(s, 0x0200, b); },
     {0x1C, 0x00, 0x00, 0x02, 0x00, 0x00}, 512, true},
    {"ReceiveDiagnosticLun4Longest", 4, [](SRBunion* s, uint8_t* b) { return ReceiveDiagnostic(s, 0xFFFF, b); },
     {0x1C, 0x80, 0x00, 0xFF, 0xFF, 0x00}, 0xFFFF, true},
    {"SendDiagnosticSelfTestNoData", 0, [](SRBunion* s, uint8_t* b) { return SendDiagnostic(s, 0, 1, 0, b); },
     {0x1D, 0x04, 0x00, 0x00, 0x00, 0x00}, 0, true},
    {"SendDiagnosticPageFormat", 0, [](SRBunion* s, uint8_t* b) { return SendDiagnostic(s, 1, 0, 8, b); },
     {0x1D, 0x10, 0x00, 0x00, 0x08, 0x00}, 8, true},
    {"SendDiagnosticOfflineBitsStayZero", 0,
     [](SRBunion* s, uint8_t* b) { return SendDiagnostic(s, 0xFF, 0xFF, 0x0102, b); },
     {0x1D, 0x14, 0x00, 0x01, 0x02, 0x00}, 0x0102, true},
    {"WriteBufferFirmwareDownload", 0,
     [](SRBunion* s, uint8_t* b) { return WriteBuffer(s, 5, 15, 0, 0x20000, b); },
     {0x3B, 0x05, 0x0F, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}, 0x20000, true},
    {"WriteBufferSlotFullness", 0, [](SRBunion* s, uint8_t* b) { return WriteBuffer(s, 2, 3, 0, 13, b); },
     {0x3B, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x00}, 13, true},
    {"WriteBufferOffsetAndLengthCutTo24Bits", 0,
     [](SRBunion* s, uint8_t*) { return WriteBuffer(s, 0, 0, 0x01234567, 0x01000010, nullptr); },
     {0x3B, 0x00, 0x00, 0x23, 0x45, 0x67, 0x00, 0x00, 0x10, 0x00}, 0x01000010, false},
    {"WriteBufferLun1ModeCutTo3Bits", 1, [](SRBunion* s, uint8_t* b) { return WriteBuffer(s, 0x0F, 0xFF, 0, 1, b); },
     {0x3B, 0x27, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}, 1, true},
    {"ReadBufferSlotFullness", 0, [](SRBunion* s, uint8_t* b) { return ReadBuffer(s, 2, 3, 0, 13, b); },
     {0x3C, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x00}, 13, true},
    {"ReadBufferModeCutTo2Bits", 0, [](SRBunion* s, uint8_t* b) { return ReadBuffer(s, 6, 3, 0, 13, b); },
     {0x3C, 0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x00}, 13, true},
    {"ReadBufferLun3AllOnes", 3,
     [](SRBunion* s, uint8_t*) { return ReadBuffer(s, 3, 0xFF, 0xFFFFFFFF, 0xFFFFFFFF, nullptr); },
     {0x3C, 0x63, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, 0xFFFFFFFF, false},
    {"ChangeDefinitionSave", 0, [](SRBunion* s, uint8_t* b) { return ChangeDefinition(s, 1, 3, 0, b); },
     {0x40, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, true},
    {"ChangeDefinitionParameterCutTo7Bits", 0,
     [](SRBunion* s, uint8_t* b) { return ChangeDefinition(s, 0, 0xC3, 8, b); },
     {0x40, 0x00, 0x00, 0x43, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00}, 8, true},
    {"ChangeDefinitionLun5SaveBit0Only", 5,
     [](SRBunion* s, uint8_t* b) { return ChangeDefinition(s, 2, 0x7F, 0xFF, b); },
     {0x40, 0xA0, 0x00, 0x7F, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00}, 255, true},
    {"ModeSelect10", 0, [](SRBunion* s, uint8_t* b) { return ModeSelect10(s, 1, 1, 0x0104, b); },
     {0x55, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0x00}, 0x0104, true},
    {"ModeSelect10OnlyBit0OfFlags", 6, [](SRBunion* s, uint8_t* b) { return ModeSelect10(s, 0xFE, 0xFE, 2, b); },
     {0x55, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00}, 2, true},
    {"ModeSense10Lun2", 2, [](SRBunion* s, uint8_t* b) { return ModeSense10(s, 1, 2, 0x20, 0x1234, b); },
     {0x5A, 0x48, 0xA0, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x00}, 0x1234, true},
    {"ModeSense10ZeroLength", 0, [](SRBunion* s, uint8_t* b) { return ModeSense10(s, 0, 0, 0x1D, 0, b); },
     {0x5A, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0, true},
};

class StandardCommand : public ::testing::TestWithParam<CommandVector> {
protected:
    ScriptedAspi m_aspi;
    std::vector<uint8_t> m_buffer = std::vector<uint8_t>(kBufferSize);
};

TEST_P(StandardCommand, SendsItsCdbAndDataPhase) { expectSendsItsRequest(GetParam(), m_aspi, m_buffer.data()); }

TEST_P(StandardCommand, ReturnsTheFinalStatusOfAFailedRequest) {
    expectReturnsAFailedStatus(GetParam(), m_aspi, m_buffer.data());
}

TEST_P(StandardCommand, GuardReturnsFFWhenSubmittingThrows) { expectGuardReturnsFF(GetParam(), m_aspi, m_buffer.data()); }

INSTANTIATE_TEST_SUITE_P(AllCommands, StandardCommand, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace karvel::test
