// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <tuple>

#include "byte_order.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "scsi_codes.h"
#include "tgt_changer.h"

namespace {

using karvel::get_be16;
using karvel::test::TgtChanger;

struct Address {
    uint8_t ha, target, lun;
    bool operator==(const Address&) const = default;
};

// The changer discovery of the program: every host adapter, target ids 0-15, LUNs 0-7, the
// first medium changer wins.
std::optional<Address> discoverChanger() {
    uint32_t support = GetAspi32Info();
    for (uint8_t ha = 0; ha < (support & 0xFF); ++ha)
        for (uint8_t target = 0; target < 16; ++target)
            for (uint8_t lun = 0; lun < 8; ++lun) {
                SRBunion probe{};
                probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
                probe.gdev.SRB_HaId = ha;
                probe.gdev.SRB_Target = target;
                probe.gdev.SRB_Lun = lun;
                if (SendASPI32Command(&probe) == SS_COMP && probe.gdev.SRB_DeviceType == karvel::scsi::kMediumChangerType)
                    return Address{ha, target, lun};
            }
    return std::nullopt;
}

// What a failed request left in the block: (status, target status, sense key, ASC, ASCQ).
using Outcome = std::tuple<int, int, int, int, int>;

Outcome outcome(uint8_t status, const SRBunion& srb) {
    const SRB_ExecSCSICmd& exec = srb.exec;
    return {status, exec.SRB_TargStat, exec.SenseArea[2] & 0x0F, exec.SenseArea[12], exec.SenseArea[13]};
}

constexpr Outcome kGood{SS_COMP, 0, 0, 0, 0};

Outcome refused(int asc, int ascq) { return {SS_ERR, karvel::scsi::CHECK_CONDITION, karvel::scsi::ILLEGAL_REQUEST, asc, ascq}; }

// A fresh tgt changer found by the discovery scan, with the request block addressed to it and a
// first TEST UNIT READY taking the unit attention of the new session, as the program does.
class TgtChangerTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto found = discoverChanger();
        ASSERT_TRUE(found) << "no medium changer found behind " << m_changer.portalUrl();
        address(*found);
        TestUnitReady(&m_srb);
    }
    void address(const Address& at) {
        m_srb = {};
        m_srb.exec.SRB_HaId = at.ha;
        m_srb.exec.SRB_Target = at.target;
        m_srb.exec.SRB_Lun = at.lun;
    }
    // Returns whether drive (an element address) holds a disc, and the slot it came from.
    std::pair<bool, uint16_t> driveState(uint16_t drive) {
        std::array<uint8_t, 64> report{};
        EXPECT_EQ(ReadElementStatus(&m_srb, 4, drive, 1, report.size(), report.data()), SS_COMP);
        return {(report[18] & 0x01) != 0, get_be16(report.data() + 26)};
    }

    TgtChanger m_changer;
    SRBunion m_srb{};
};

TEST_F(TgtChangerTest, DiscoveryFindsTheChangerAndItsDrives) {
    EXPECT_EQ(GetAspi32Info() & 0xFFFF, 0x0101u);
    EXPECT_EQ(discoverChanger(), (Address{0, 0, TgtChanger::kChangerLun}));

    using Probe = std::tuple<uint8_t /*target*/, uint8_t /*lun*/, uint32_t /*status*/, uint8_t /*type*/>;
    for (auto [target, lun, status, type] : {Probe{0, 0, SS_COMP, 0x0C}, Probe{0, TgtChanger::driveLun(0), SS_COMP, 5},
                                             Probe{0, TgtChanger::driveLun(1), SS_COMP, 5},
                                             Probe{0, 7, SS_NO_DEVICE, 0}, Probe{1, 0, SS_NO_DEVICE, 0}}) {
        SRBunion probe{};
        probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
        probe.gdev.SRB_Target = target;
        probe.gdev.SRB_Lun = lun;
        EXPECT_EQ(SendASPI32Command(&probe), status) << int(target) << "/" << int(lun);
        if (status == SS_COMP) {
            EXPECT_EQ(probe.gdev.SRB_DeviceType, type) << int(target) << "/" << int(lun);
        }
    }
}

TEST_F(TgtChangerTest, IdentityIsTgtsVirtualChanger) {
    uint8_t inquiry[50]{};
    ASSERT_EQ(Inquiry(&m_srb, inquiry), SS_COMP);
    EXPECT_EQ(inquiry[0], karvel::scsi::kMediumChangerType);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 8), 8), "IET     ");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(inquiry + 16), 16), "VIRTUAL-CHANGER ");
}

TEST_F(TgtChangerTest, ElementAddressAssignmentFollowsAnEightByteBlockDescriptor) {
    uint8_t page[31]{};
    ASSERT_EQ(ModeSense6(&m_srb, 0, 0, 0x1D, sizeof page, page), SS_COMP);
    const auto& layout = m_changer.layout();
    EXPECT_EQ(page[3], 8) << "block descriptor length";
    using Field = std::tuple<size_t /*offset*/, unsigned /*value*/>;
    for (auto [offset, value] : {Field{12, 0x1D12u}, Field{14, layout.pickerAddress},
                                 Field{16, 1u}, Field{18, layout.firstSlot}, Field{20, layout.slotCount},
                                 Field{22, layout.firstPort}, Field{24, layout.portCount},
                                 Field{26, layout.firstDrive}, Field{28, layout.driveCount}})
        EXPECT_EQ(get_be16(page + offset), value) << "offset " << offset;
}

struct Move {
    const char* what;
    uint16_t source, destination;
    Outcome expected;
};

TEST_F(TgtChangerTest, MovesAndTheSenseOfRefusedOnes) {
    const auto& layout = m_changer.layout();
    uint16_t slot = layout.firstSlot, drive = layout.firstDrive, port = layout.firstPort;
    const Move moves[] = {
        {"slot 0 to drive 0", uint16_t(slot + 0), drive, kGood},
        {"empty slot 5 to drive 1", uint16_t(slot + 5), uint16_t(drive + 1), refused(0x3B, 0x0E)},
        {"slot 1 to the full drive 0", uint16_t(slot + 1), drive, refused(0x3B, 0x0D)},
        {"drive 0 back to slot 0", drive, uint16_t(slot + 0), kGood},
        {"slot 2 to the import/export port", uint16_t(slot + 2), port, kGood},
        {"the port to empty slot 9", port, uint16_t(slot + 9), kGood},
        {"slot 2, now empty, to drive 1", uint16_t(slot + 2), uint16_t(drive + 1), refused(0x3B, 0x0E)},
    };
    for (const Move& move : moves) {
        uint8_t status = MoveMedium(&m_srb, move.source, move.destination, layout.pickerAddress);
        EXPECT_EQ(outcome(status, m_srb), move.expected) << move.what;
    }
}

TEST_F(TgtChangerTest, InitializeElementStatusCompletes) {
    EXPECT_EQ(outcome(InitializeElementStatus(&m_srb), m_srb), kGood);
}

TEST_F(TgtChangerTest, ElementStatusTellsWhereADriveDiscCameFrom) {
    const auto& layout = m_changer.layout();
    uint16_t drive = layout.firstDrive;  // tgt reports no source for its last drive
    EXPECT_EQ(driveState(drive), std::make_pair(false, uint16_t{0}));
    ASSERT_EQ(MoveMedium(&m_srb, layout.firstSlot + 1, drive, layout.pickerAddress), SS_COMP);
    EXPECT_EQ(driveState(drive), std::make_pair(true, uint16_t(layout.firstSlot + 1)));
}

TEST_F(TgtChangerTest, MountAndUnMountWithTheDefaultTransport) {
    const auto& layout = m_changer.layout();
    uint16_t drive = layout.firstDrive;
    EXPECT_EQ(outcome(Mount(&m_srb, layout.firstSlot + 2, drive, 0), m_srb), kGood);
    EXPECT_EQ(driveState(drive), std::make_pair(true, uint16_t(layout.firstSlot + 2)));
    EXPECT_EQ(outcome(UnMount(&m_srb, drive, layout.pickerAddress), m_srb), kGood);
    EXPECT_EQ(driveState(drive).first, false);
}

// The data-out ones also show that a data phase out, a whole firmware image among them, goes
// over and the target's answer comes back.
TEST_F(TgtChangerTest, CommandsTgtLacksAreIllegalRequests) {
    const auto& layout = m_changer.layout();
    uint8_t buffer[13]{};
    uint8_t vendorPage[10] = {0, 0, 0, 0, 0x20, 6, 0, 0, 0, 0};
    std::vector<uint8_t> firmware(128 * 1024, 0xFF);
    using Command = std::pair<const char*, std::function<uint8_t()>>;
    const Command commands[] = {
        {"REZERO UNIT", [&] { return Rezero(&m_srb); }},
        {"READ BUFFER", [&] { return ReadBuffer(&m_srb, 2, 0, 0, sizeof buffer, buffer); }},
        {"POSITION TO ELEMENT", [&] { return PositionToElement(&m_srb, layout.firstSlot, layout.pickerAddress); }},
        {"EXCHANGE MEDIUM",
         [&] { return ExchangeMedium(&m_srb, layout.firstSlot, layout.firstDrive, layout.firstSlot + 1, layout.pickerAddress); }},
        {"MODE SELECT of the vendor page", [&] { return ModeSelect6(&m_srb, 1, 0, sizeof vendorPage, vendorPage); }},
        {"WRITE BUFFER of a firmware image",
         [&] { return WriteBuffer(&m_srb, 5, 15, 0, uint32_t(firmware.size()), firmware.data()); }},
    };
    for (const auto& [what, send] : commands) EXPECT_EQ(outcome(send(), m_srb), refused(0x20, 0x00)) << what;
}

TEST_F(TgtChangerTest, KilledTargetFailsPromptlyAndTheProcessCarriesOnWhenItIsBack) {
    const auto& layout = m_changer.layout();
    ASSERT_EQ(TestUnitReady(&m_srb), SS_COMP);
    m_changer.kill();
    ::testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 3; ++attempt) {
        uint8_t status = TestUnitReady(&m_srb);
        EXPECT_TRUE(status == SS_ERR || status == SS_NO_DEVICE) << "status " << int(status);
    }
    EXPECT_NE(MoveMedium(&m_srb, layout.firstSlot, layout.firstDrive, layout.pickerAddress), SS_COMP);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(m_changer.portalUrl() + " target " + m_changer.targetName()), std::string::npos) << said;
    EXPECT_EQ(said.find("wnaspi32"), said.rfind("wnaspi32")) << "said more than once: " << said;

    m_changer.restart();
    TestUnitReady(&m_srb);  // the new session's unit attention
    EXPECT_EQ(outcome(TestUnitReady(&m_srb), m_srb), kGood);
    EXPECT_EQ(outcome(MoveMedium(&m_srb, layout.firstSlot, layout.firstDrive, layout.pickerAddress), m_srb), kGood);
    EXPECT_EQ(outcome(MoveMedium(&m_srb, layout.firstSlot + 5, layout.firstDrive + 1, layout.pickerAddress), m_srb),
              refused(0x3B, 0x0E));
    EXPECT_EQ(discoverChanger(), (Address{0, 0, TgtChanger::kChangerLun}));
}

TEST_F(TgtChangerTest, AMoveMeetingTheResetAttentionOfANewSessionIsSentOnceMore) {
    // tgt restarted between two moves: the second move is the new session's first command and
    // meets its UNIT ATTENTION 29h, which means it was not performed. The layer sends it again
    // once; the changer (fresh, as a restart leaves it) performs it or refuses it for its own
    // reason, which is then reported as it is.
    const auto& layout = m_changer.layout();
    ASSERT_EQ(outcome(MoveMedium(&m_srb, layout.firstSlot, layout.firstDrive, layout.pickerAddress), m_srb), kGood);
    using Step = std::tuple<const char*, uint16_t, uint16_t, Outcome>;
    const Step steps[] = {
        {"a move it can do", layout.firstSlot, layout.firstDrive, kGood},
        {"a move from an empty slot", uint16_t(layout.firstSlot + 5), uint16_t(layout.firstDrive + 1), refused(0x3B, 0x0E)},
    };
    for (const auto& [what, source, destination, expected] : steps) {
        m_changer.restart();
        EXPECT_EQ(outcome(MoveMedium(&m_srb, source, destination, layout.pickerAddress), m_srb), expected) << what;
    }
    m_changer.restart();
    ASSERT_EQ(outcome(MoveMedium(&m_srb, layout.firstSlot, layout.firstDrive, layout.pickerAddress), m_srb), kGood);
    EXPECT_EQ(driveState(layout.firstDrive), std::pair(true, layout.firstSlot));  // performed, and once:
    EXPECT_EQ(outcome(MoveMedium(&m_srb, layout.firstSlot, layout.firstDrive + 1, layout.pickerAddress), m_srb),
              refused(0x3B, 0x0E));  // the slot it came from is empty
}

}  // namespace
