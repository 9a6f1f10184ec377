// SPDX-License-Identifier: MIT
// The jukebox's behaviour over several commands: records against truth, initiators and
// their unit attention, injected faults, the simulated operator, firmware, addressing.
#include <gtest/gtest.h>

#include "byte_order.h"
#include "sim/sha256.h"
#include "sim/sim_state.h"
#include "sim_test_support.h"

namespace aspi::sim::testing {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t I = 0x05, U = 0x06;

const Bytes kReadRecords{0x3C, 2, 0, 0, 0, 0, 0, 0, 13, 0};
const Bytes kClearRecords{0x3B, 2, 0, 0, 0, 0, 0, 0, 13, 0};
const Bytes kInitialize{0x07, 0, 0, 0, 0, 0};
const Bytes kInquiry{0x12, 0, 0, 0, 36, 0};
const Bytes kRequestSense{0x03, 0, 0, 0, 18, 0};

struct JukeboxFixture : ::testing::Test {
    // A fresh default jukebox whose unit attention has been taken.
    std::unique_ptr<SimTransport> open(std::vector<std::string> keys = {}) {
        auto jukebox = openJukebox(path, std::move(keys));
        EXPECT_EQ(send(*jukebox, kTestUnitReady).status(), check(U, 0x29, 0));
        return jukebox;
    }
    Bytes records(Transport& t) { return send(t, kReadRecords, 13).data; }
    // Returns descriptor byte 2 (flags) and bytes 9-11 (SValid, source) of one element.
    std::tuple<uint8_t, uint8_t, uint16_t> element(Transport& t, uint8_t type, uint16_t address) {
        Reply r = send(t, statusCdb(type, address, 1, 32), 32);
        EXPECT_EQ(r.status(), kGood);
        return {r.data[18], r.data[25], karvel::get_be16(&r.data[26])};
    }

    ScratchDir dir;
    std::string path = dir.path("jukebox");
};

// --- records and truth

TEST_F(JukeboxFixture, ClearedRecordsHideDiscsUntilInitializeRebuildsThem) {
    auto jukebox = open();
    ASSERT_EQ(send(*jukebox, kClearRecords, 0, Bytes(13, 0)).status(), kGood);
    EXPECT_EQ(records(*jukebox), Bytes(13, 0));
    EXPECT_EQ(element(*jukebox, 2, 0x0001), std::tuple(uint8_t{0x08}, uint8_t{0}, uint16_t{0}));
    EXPECT_EQ(loadState(path).discs.size(), 30u);  // the discs are still there

    ASSERT_EQ(send(*jukebox, kInitialize).status(), kGood);
    EXPECT_EQ(records(*jukebox), (Bytes{0xFF, 0xFF, 0xFF, 0xFC, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(JukeboxFixture, InitializeWorksOverTheSelectedRangeOnly) {
    auto jukebox = open();
    ASSERT_EQ(send(*jukebox, {0x15, 0x10, 0, 0, 10, 0}, 0, {0, 0, 0, 0, 0x20, 4, 0, 5, 0, 10}).status(), kGood);
    ASSERT_EQ(send(*jukebox, kClearRecords, 0, Bytes(13, 0)).status(), kGood);
    ASSERT_EQ(send(*jukebox, kInitialize).status(), kGood);
    EXPECT_EQ(records(*jukebox), (Bytes{0x0F, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(loadState(path).initRange, (std::pair<uint16_t, uint16_t>{5, 10}));
}

TEST_F(JukeboxFixture, MoveChangesTruthRecordsAndSource) {
    auto jukebox = open();
    ASSERT_EQ(send(*jukebox, moveCdb(0x0005, 0x4001)).status(), kGood);
    EXPECT_EQ(element(*jukebox, 4, 0x4001), std::tuple(uint8_t{0x09}, uint8_t{0x80}, uint16_t{0x0005}));
    EXPECT_EQ(records(*jukebox)[0], 0xF7);
    JukeboxState state = loadState(path);
    ASSERT_NE(state.discAt(0x4001), nullptr);
    EXPECT_EQ(*state.discAt(0x4001), (Disc{5, 0x0005, false}));
    EXPECT_EQ(state.discAt(0x0005), nullptr);

    ASSERT_EQ(send(*jukebox, moveCdb(0x4001, 0x0005)).status(), kGood);
    EXPECT_EQ(records(*jukebox)[0], 0xFF);
    EXPECT_EQ(element(*jukebox, 2, 0x0005), std::tuple(uint8_t{0x09}, uint8_t{0x80}, uint16_t{0x4001}));
}

TEST_F(JukeboxFixture, MovesFollowWhatTheSlotsHoldNotTheRecords) {
    auto jukebox = open();
    Bytes allFull(13, 0xFF);
    ASSERT_EQ(send(*jukebox, kClearRecords, 0, allFull).status(), kGood);
    EXPECT_EQ(records(*jukebox), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(element(*jukebox, 2, 0x0028), std::tuple(uint8_t{0x09}, uint8_t{0}, uint16_t{0}));
    EXPECT_EQ(send(*jukebox, moveCdb(0x0028, 0x4000)).status(), check(I, 0x3B, 0x0E));

    ASSERT_EQ(send(*jukebox, kClearRecords, 0, Bytes(13, 0)).status(), kGood);
    EXPECT_EQ(send(*jukebox, moveCdb(0x0001, 0x4000)).status(), kGood);
}

TEST_F(JukeboxFixture, ExchangeSwapsTwoDiscs) {
    auto jukebox = open();
    ASSERT_EQ(send(*jukebox, {0xA6, 0, 0, 0, 0, 1, 0, 2, 0, 1, 0, 0}).status(), kGood);
    JukeboxState state = loadState(path);
    EXPECT_EQ(state.discAt(0x0001)->id, 2u);
    EXPECT_EQ(state.discAt(0x0002)->id, 1u);
}

TEST_F(JukeboxFixture, ATransportHoldingADiscRefusesOtherMoves) {
    auto jukebox = open();
    ASSERT_EQ(send(*jukebox, moveCdb(0x0001, 0x0000)).status(), kGood);
    EXPECT_EQ(send(*jukebox, moveCdb(0x0002, 0x4000)).status(), check(I, 0x3B, 0x80));
    EXPECT_EQ(send(*jukebox, moveCdb(0x0000, 0x0031)).status(), kGood);
    EXPECT_EQ(loadState(path).discAt(0x0031)->source, 0x0001);  // the picker is no source
}

// --- initiators

TEST_F(JukeboxFixture, EveryInitiatorSeesOneUnitAttention) {
    auto first = openJukebox(path);
    auto second = openJukebox(path);
    const std::pair<Transport*, Status> steps[] = {
        {first.get(), kGood},                    // INQUIRY does not take it
        {first.get(), check(U, 0x29, 0)},
        {first.get(), kGood},
        {second.get(), kGood},
        {second.get(), check(U, 0x29, 0)},
        {second.get(), kGood},
    };
    int i = 0;
    for (const auto& [who, expected] : steps) {
        SCOPED_TRACE(i);
        EXPECT_EQ(send(*who, i % 3 == 0 ? kInquiry : kTestUnitReady, 36).status(), expected);
        ++i;
    }
}

TEST_F(JukeboxFixture, RequestSenseReportsTheLastConditionOnce) {
    auto jukebox = openJukebox(path);
    const std::pair<Bytes, std::array<uint8_t, 3>> steps[] = {
        {kRequestSense, {U, 0x29, 0x00}},  // the pending unit attention, which it takes
        {kTestUnitReady, {0, 0, 0}},
        {moveCdb(0x0028, 0x4000), {I, 0x3B, 0x0E}},
        {kRequestSense, {I, 0x3B, 0x0E}},
        {kRequestSense, {0, 0, 0}},
    };
    int i = 0;
    for (const auto& [cdb, sense] : steps) {
        SCOPED_TRACE(i++);
        Reply r = send(*jukebox, cdb, cdb[0] == 0x03 ? 18 : 0);
        if (cdb[0] != 0x03) {
            EXPECT_EQ(r.status().key, sense[0]);
            continue;
        }
        EXPECT_EQ(r.status(), kGood);
        EXPECT_EQ((std::array{uint8_t(r.data[2] & 0x0F), r.data[12], r.data[13]}), sense);
    }
}

TEST_F(JukeboxFixture, EachInitiatorSeesTheOthersMoves) {
    auto first = open();
    auto second = open();
    ASSERT_EQ(send(*first, moveCdb(0x0001, 0x4000)).status(), kGood);
    EXPECT_EQ(send(*second, moveCdb(0x0001, 0x4001)).status(), check(I, 0x3B, 0x0E));
    EXPECT_EQ(send(*second, moveCdb(0x4000, 0x0001)).status(), kGood);
    EXPECT_EQ(send(*first, moveCdb(0x4000, 0x0001)).status(), check(I, 0x3B, 0x0E));
}

// --- injected faults

struct FaultCase {
    const char* name;
    Fault fault;
    std::vector<std::pair<Bytes, Status>> steps;
    size_t faultsLeft;
};

const FaultCase kFaultCases[] = {
    {"NotReadyOnce", {0x02, 0x04, 0x03, std::nullopt, 1},
     {{kTestUnitReady, check(0x02, 0x04, 0x03)}, {kTestUnitReady, kGood}}, 0},
    {"DoorOpenOnMovesOnly", {0x02, 0x53, 0x81, 0xA5, 2},
     {{kTestUnitReady, kGood},
      {moveCdb(1, 0x4000), check(0x02, 0x53, 0x81)},
      {moveCdb(1, 0x4000), check(0x02, 0x53, 0x81)},
      {moveCdb(1, 0x4000), kGood}},
     0},
    {"HardwareErrorUntilRemoved", {0x04, 0x15, 0x01, std::nullopt, 0},
     {{kTestUnitReady, check(0x04, 0x15, 0x01)}, {kInquiry, kGood}, {kTestUnitReady, check(0x04, 0x15, 0x01)}}, 1},
    {"CountLeft", {0x06, 0x28, 0x01, std::nullopt, 3}, {{kTestUnitReady, check(0x06, 0x28, 0x01)}}, 1},
};

class FaultTable : public JukeboxFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTable, HitsTheCommandsItNamesAndIsConsumed) {
    auto jukebox = open();
    injectFault(path, GetParam().fault);  // as another process's test would
    int i = 0;
    for (const auto& [cdb, expected] : GetParam().steps) {
        SCOPED_TRACE(i++);
        EXPECT_EQ(send(*jukebox, cdb, 36).status(), expected);
    }
    EXPECT_EQ(loadState(path).faults.size(), GetParam().faultsLeft);
}

INSTANTIATE_TEST_SUITE_P(Sim, FaultTable, ::testing::ValuesIn(kFaultCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// --- the simulated operator at the import/export port

TEST_F(JukeboxFixture, OperatorLoadsAPortTheTransportIsPositionedAt) {
    auto jukebox = open();
    EXPECT_EQ(send(*jukebox, moveCdb(0x0033, 0x0031)).status(), check(I, 0x3B, 0x0E));
    ASSERT_EQ(send(*jukebox, {0x2B, 0, 0, 0, 0, 0x33, 0, 0, 0, 0}).status(), kGood);
    EXPECT_EQ(element(*jukebox, 3, 0x0033), std::tuple(uint8_t{0x3B}, uint8_t{0}, uint16_t{0}));
    ASSERT_EQ(send(*jukebox, moveCdb(0x0033, 0x0031)).status(), kGood);
    EXPECT_EQ(loadState(path).discAt(0x0031)->id, 31u);

    ASSERT_EQ(send(*jukebox, moveCdb(0x0031, 0x0033)).status(), kGood);  // exported by the changer
    EXPECT_EQ(element(*jukebox, 3, 0x0033), std::tuple(uint8_t{0x39}, uint8_t{0x80}, uint16_t{0x0031}));
}

TEST_F(JukeboxFixture, WithoutTheOperatorAPortStaysEmpty) {
    auto jukebox = open({"operator=off"});
    ASSERT_EQ(send(*jukebox, {0x2B, 0, 0, 0, 0, 0x33, 0, 0, 0, 0}).status(), kGood);
    EXPECT_EQ(send(*jukebox, moveCdb(0x0033, 0x0031)).status(), check(I, 0x3B, 0x0E));
}

// --- firmware

TEST_F(JukeboxFixture, DownloadedFirmwareIsKeptAndNamesTheRevision) {
    auto jukebox = open();
    Bytes image(131072);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(send(*jukebox, {0x3B, 5, 15, 0, 0, 0, 0x02, 0, 0, 0}, 0, image).status(), kGood);

    std::string digest = firmwareDigest(image);
    EXPECT_EQ(loadState(path).firmwareDigest, digest);
    EXPECT_EQ(loadFirmware(path), image);
    std::string revision = digest.substr(0, 4);
    for (char& c : revision) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto later = openJukebox(path);  // a later program sees it too
    Bytes inquiry = send(*later, kInquiry, 36).data;
    EXPECT_EQ(std::string(inquiry.begin() + 32, inquiry.begin() + 36), revision);
}

TEST(Sha256, KnownDigests) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& [text, digest] : cases)
        EXPECT_EQ(sha256Hex({reinterpret_cast<const uint8_t*>(text.data()), text.size()}), digest) << text;
}

// --- addressing

TEST_F(JukeboxFixture, OnlyTheChangersAddressAnswers) {
    auto jukebox = openJukebox(path, {"target=3", "lun=2"});
    const std::tuple<uint8_t, uint8_t, std::optional<uint8_t>> probes[] = {
        {3, 2, 8}, {0, 0, std::nullopt}, {3, 0, std::nullopt}, {2, 2, std::nullopt}};
    for (const auto& [target, lun, type] : probes) EXPECT_EQ(jukebox->deviceType(target, lun), type);

    Bytes cdb = kTestUnitReady;
    CommandRequest request;
    request.cdb = cdb;
    request.target = 0;
    CommandResult elsewhere = jukebox->execute(request);
    EXPECT_EQ(std::pair(elsewhere.aspiStatus, elsewhere.hostStatus), std::pair(uint8_t{SS_NO_DEVICE}, uint8_t{0x11}));
    request.target = 3;
    request.lun = 2;
    EXPECT_EQ(jukebox->execute(request).targetStatus, 0x02);  // its unit attention
}

}  // namespace
}  // namespace aspi::sim::testing
