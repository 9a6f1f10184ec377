// What each changer command puts into the request block and sends, and the guard's FFh.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ostrik.h"
#include "scripted_aspi.h"

namespace karvel::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct ChangerCase {
    const char* name;
    uint8_t lun;
    std::function<uint8_t(SRBunion*, uint8_t* buffer)> send;
    Bytes cdb;  // SRB_CDBLen is its size
    uint32_t bufLen;
    bool lendsBuffer;
};

void PrintTo(const ChangerCase& c, std::ostream* os) { *os << c.name; }

const ChangerCase kCases[] = {
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

class ChangerCommand : public ::testing::TestWithParam<ChangerCase> {
protected:
    SRBunion preparedBlock() {
        SRBunion srb = addressedBlock(1, 3, GetParam().lun);
        srb.exec.SRB_PostProc = &postProc;
        for (uint8_t& byte : srb.exec.CDBByte) byte = 0xEE;
        return srb;
    }

    ScriptedAspi aspi;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kBufferSize);
    int postProc = 0;
};

TEST_P(ChangerCommand, SendsItsCdbAndDataPhase) {
    const ChangerCase& c = GetParam();
    SRBunion srb = preparedBlock();
    uint8_t* lent = c.lendsBuffer ? buffer.data() : nullptr;

    EXPECT_EQ(c.send(&srb, lent), SS_COMP);

    auto seen = aspi.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].cdb, c.cdb);
    EXPECT_EQ(seen[0].bufLen, c.bufLen);
    EXPECT_EQ(seen[0].buffer, lent);
    EXPECT_EQ(srb.exec.SRB_CDBLen, c.cdb.size());
    EXPECT_EQ(srb.exec.SRB_BufLen, c.bufLen);
    for (size_t i = c.cdb.size(); i < sizeof srb.exec.CDBByte; ++i) EXPECT_EQ(srb.exec.CDBByte[i], 0) << i;
    EXPECT_EQ(srb.exec.SRB_HaId, 1);
    EXPECT_EQ(srb.exec.SRB_Target, 3);
    EXPECT_EQ(srb.exec.SRB_Lun, c.lun);
    EXPECT_EQ(srb.exec.SRB_PostProc, &postProc);
}

TEST_P(ChangerCommand, ReturnsTheFinalStatusOfAFailedRequest) {
    aspi.queue(Reply::checkCondition(0x05, 0x21, 0x01));
    SRBunion srb = preparedBlock();
    EXPECT_EQ(GetParam().send(&srb, buffer.data()), SS_ERR);
    EXPECT_EQ(srb.exec.SenseArea[12], 0x21);
    EXPECT_EQ(srb.exec.SenseArea[13], 0x01);
}

TEST_P(ChangerCommand, GuardReturnsFFWhenSubmittingThrows) {
    Reply failing;
    failing.throwOnSubmit = true;
    aspi.queue(failing);
    SRBunion srb = preparedBlock();
    EXPECT_EQ(GetParam().send(&srb, buffer.data()), 0xFF);
    EXPECT_EQ(srb.exec.SRB_Status, SS_COMP);  // prepared, never submitted
}

INSTANTIATE_TEST_SUITE_P(AllCommands, ChangerCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace karvel::test
