// SPDX-License-Identifier: MIT
// The sg transport with the kernel's own open and ioctl(SG_IO), on tgt's changer: the SG_IO shim
// linked into this executable makes the fake sysfs tree's /dev/sg3 act as a SCSI generic device
// in front of tgt's changer LUN. Needs root for tgtd; fails when tgtd cannot start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <tuple>

#include "aspi_layer.h"
#include "byte_order.h"
#include "scratch_dir.h"
#include "sg_transport.h"
#include "tgt_changer.h"

namespace aspi {
namespace {

namespace fs = std::filesystem;
using karvel::test::TgtChanger;
using karvel::test_support::ScratchDir;
using karvel::test_support::writeFile;

constexpr uint8_t kChangerTarget = 4;
constexpr uint8_t kMediumChanger = 8;
constexpr uint8_t kCheckCondition = 0x02;
constexpr uint8_t kIllegalRequest = 0x05;

// One SCSI host whose changer at 0:0:4:0 is /dev/sg3, the shim's file; the real system
// otherwise. The shim forwards what reaches that file to tgt's changer LUN.
class SgOnTgt : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path root = m_scratch.root();
        fs::create_directories(root / "sys/class/scsi_host/host0");
        const fs::path device = root / "sys/bus/scsi/devices/0:0:4:0";
        fs::create_directories(device / "scsi_generic/sg3");
        writeFile((device / "type").string(), std::to_string(kMediumChanger) + "\n");
        fs::create_directories(root / "dev");
        const std::string node = m_scratch.write("dev/sg3", "");
        ::setenv("KARVEL_SG_SHIM_DEVICE", node.c_str(), 1);
        ::setenv("KARVEL_SG_SHIM_ADDRESS", ("0:0:" + std::to_string(TgtChanger::kChangerLun)).c_str(), 1);

        auto system = std::make_shared<SgSystem>(*realSgSystem());
        system->sysfsRoot = (root / "sys").string();
        system->devRoot = (root / "dev").string();
        m_layer = std::make_unique<AspiLayer>(makeSgTransports({"test", 1, "sg", {}}, system));
        // The new session's unit attention.
        execute({0x00, 0, 0, 0, 0, 0}, 6);
    }
    void TearDown() override { m_layer.reset(); }

    uint32_t execute(std::initializer_list<uint8_t> cdb, uint8_t cdbLength, uint8_t* data = nullptr,
                     uint32_t dataLength = 0) {
        return execute(std::span<const uint8_t>(cdb.begin(), cdb.size()), cdbLength, data, dataLength);
    }
    uint32_t execute(std::span<const uint8_t> cdb, uint8_t cdbLength, uint8_t* data = nullptr,
                     uint32_t dataLength = 0) {
        m_srb = {};
        m_srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        m_srb.exec.SRB_Target = kChangerTarget;
        m_srb.exec.SRB_CDBLen = cdbLength;
        std::copy(cdb.begin(), cdb.end(), m_srb.exec.CDBByte);
        m_srb.exec.SRB_BufLen = dataLength;
        m_srb.exec.SRB_BufPointer = data;
        m_srb.exec.SRB_SenseLen = SENSE_LEN;
        return m_layer->send(&m_srb);
    }

    // MOVE MEDIUM by the picker from source to destination.
    uint32_t move(uint16_t source, uint16_t destination) {
        uint8_t cdb[12] = {0xA5};
        karvel::put_be16(cdb + 2, m_changer.layout().pickerAddress);
        karvel::put_be16(cdb + 4, source);
        karvel::put_be16(cdb + 6, destination);
        return execute(cdb, sizeof cdb);
    }

    // (ASPI status, target status, sense key, ASC, ASCQ) of the last request.
    std::tuple<int, int, int, int, int> outcome(uint32_t status) const {
        const SRB_ExecSCSICmd& exec = m_srb.exec;
        return {static_cast<int>(status), exec.SRB_TargStat, exec.SenseArea[2] & 0x0F, exec.SenseArea[12],
                exec.SenseArea[13]};
    }

    TgtChanger m_changer;
    std::unique_ptr<AspiLayer> m_layer;
    SRBunion m_srb{};

private:
    ScratchDir m_scratch{"sg_tgt"};
};

TEST_F(SgOnTgt, DiscoveryFindsTheChangerAtItsAddress) {
    EXPECT_EQ(m_layer->supportInfo(), (SS_COMP << 8) | 1u);

    SRBunion probe{};
    probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    probe.gdev.SRB_Target = kChangerTarget;
    ASSERT_EQ(m_layer->send(&probe), SS_COMP);
    EXPECT_EQ(probe.gdev.SRB_DeviceType, kMediumChanger);

    probe.gdev.SRB_Target = kChangerTarget + 1;
    EXPECT_EQ(m_layer->send(&probe), SS_NO_DEVICE);
}

TEST_F(SgOnTgt, InquiryCarriesTgtsIdentity) {
    uint8_t data[96] = {};
    ASSERT_EQ(execute({0x12, 0, 0, 0, sizeof data, 0}, 6, data, sizeof data), SS_COMP);
    EXPECT_EQ(data[0] & 0x1F, kMediumChanger);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data + 8), 8), "IET     ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data + 16), 16), "VIRTUAL-CHANGER ");
}

TEST_F(SgOnTgt, MoveMediumSucceedsAndLandsTheDisc) {
    const uint16_t firstSlot = m_changer.layout().firstSlot;
    EXPECT_EQ(outcome(move(firstSlot, firstSlot + 5)), std::make_tuple(SS_COMP, 0, 0, 0, 0));
    // The disc left the first slot: moving from there again is refused as from an empty source.
    EXPECT_EQ(outcome(move(firstSlot, firstSlot + 6)),
              std::make_tuple(SS_ERR, kCheckCondition, kIllegalRequest, 0x3B, 0x0E));
}

// what, source, destination, then the sense key, ASC and ASCQ of the refusal
using Refusal = std::tuple<const char*, uint16_t, uint16_t, int, int, int>;

class SgOnTgtRefusal : public SgOnTgt, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SgOnTgtRefusal, MoveMediumRefusedWithItsSense) {
    const auto& [what, source, destination, key, asc, ascq] = GetParam();
    EXPECT_EQ(outcome(move(source, destination)), std::make_tuple(SS_ERR, kCheckCondition, key, asc, ascq)) << what;
}

// Slots 0x100-0x109 with discs in the first three, drives 0x01 and 0x02.
INSTANTIATE_TEST_SUITE_P(Refusals, SgOnTgtRefusal,
                         ::testing::Values(Refusal{"source empty", 0x105, 0x106, kIllegalRequest, 0x3B, 0x0E},
                                           Refusal{"destination full", 0x100, 0x101, kIllegalRequest, 0x3B, 0x0D},
                                           Refusal{"no such element (tgt: invalid field in CDB)", 0x100, 0x500, kIllegalRequest, 0x24, 0x00}));

}  // namespace
}  // namespace aspi
