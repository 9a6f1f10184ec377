// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <scsi/sg.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "aspi_layer.h"
#include "sg_transport.h"

namespace aspi {
namespace {

namespace fs = std::filesystem;

// A sysfs tree and /dev in a temporary directory, and an SG_IO that records each request
// and answers with the programmed reply.
class FakeSgSystem {
public:
    FakeSgSystem() : m_root(fs::temp_directory_path() / ("sg_fake_" + std::to_string(::getpid()) + "_" +
                                                       std::to_string(m_counter++))) {
        fs::create_directories(m_root / "sys/class/scsi_host");
        fs::create_directories(m_root / "sys/bus/scsi/devices");
        fs::create_directories(m_root / "dev");
    }
    ~FakeSgSystem() { fs::remove_all(m_root); }

    void addHost(unsigned number) { fs::create_directories(m_root / "sys/class/scsi_host" / ("host" + std::to_string(number))); }

    // Adds device H:C:T:L of the given type; sgNumber < 0 leaves it without an sg node.
    void addDevice(const std::string& address, int type, int sgNumber) {
        fs::path dir = m_root / "sys/bus/scsi/devices" / address;
        fs::create_directories(dir);
        std::ofstream(dir / "type") << type << "\n";
        if (sgNumber >= 0) {
            std::string node = "sg" + std::to_string(sgNumber);
            fs::create_directories(dir / "scsi_generic" / node);
            std::ofstream(m_root / "dev" / node) << "";
        }
    }

    std::shared_ptr<const SgSystem> system() {
        auto system = std::make_shared<SgSystem>();
        system->sysfsRoot = (m_root / "sys").string();
        system->devRoot = (m_root / "dev").string();
        system->open = [this](const std::string& path, int) {
            opened.push_back(fs::path(path).filename().string());
            if (openErrno) {
                errno = openErrno;
                return -1;
            }
            return nextFd++;
        };
        system->sgIo = [this](int fd, sg_io_hdr* header) {
            lastFd = fd;
            last = *header;
            lastCdb.assign(header->cmdp, header->cmdp + header->cmd_len);
            ++ioctls;
            if (ioctlErrno) {
                errno = ioctlErrno;
                return -1;
            }
            header->status = reply.status;
            header->host_status = reply.host_status;
            header->driver_status = reply.driver_status;
            header->sb_len_wr = static_cast<unsigned char>(std::min<size_t>(replySense.size(), header->mx_sb_len));
            std::copy_n(replySense.begin(), header->sb_len_wr, static_cast<uint8_t*>(header->sbp));
            return 0;
        };
        system->close = [this](int) {
            ++closes;
            return 0;
        };
        system->access = [this](const std::string&, int) {
            if (accessErrno) {
                errno = accessErrno;
                return -1;
            }
            return 0;
        };
        return system;
    }

    int openErrno = 0, ioctlErrno = 0, accessErrno = 0;
    sg_io_hdr reply{};
    std::vector<uint8_t> replySense;
    std::vector<std::string> opened;
    sg_io_hdr last{};
    std::vector<uint8_t> lastCdb;
    int lastFd = -1, nextFd = 100, ioctls = 0, closes = 0;

private:
    static inline int m_counter = 0;
    fs::path m_root;
};

// One SCSI host with a changer at target 4 and a DVD drive at target 5, and a layer over it.
struct SgFixture : ::testing::Test {
    SgFixture() {
        fake.addHost(0);
        fake.addDevice("0:0:4:0", 8, 3);
        fake.addDevice("0:0:5:0", 5, 4);
        fake.addDevice("0:0:6:0", 8, -1);  // no sg node
    }
    AspiLayer& layer() {
        if (!m_layer) m_layer = std::make_unique<AspiLayer>(makeSgTransports({"test", 1, "sg", {}}, fake.system()));
        return *m_layer;
    }
    uint8_t execute(uint8_t target, uint8_t opcode, uint32_t bufLen, SRBunion* out = nullptr) {
        SRBunion srb{};
        srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.exec.SRB_Target = target;
        srb.exec.SRB_CDBLen = opcode >= 0xA0 ? 12 : opcode >= 0x20 ? 10 : 6;
        srb.exec.SRB_SenseLen = SENSE_LEN;
        srb.exec.CDBByte[0] = opcode;
        srb.exec.SRB_BufLen = bufLen;
        srb.exec.SRB_BufPointer = bufLen ? buffer : nullptr;
        uint8_t status = static_cast<uint8_t>(layer().send(&srb));
        if (out) *out = srb;
        return status;
    }
    uint8_t buffer[256]{};
    FakeSgSystem fake;
    std::unique_ptr<AspiLayer> m_layer;
};

TEST(SgHosts, OneAdapterPerHostInAscendingNumberWithTheKernelsAddresses) {
    FakeSgSystem fake;
    for (unsigned host : {10u, 0u, 2u}) fake.addHost(host);
    fake.addDevice("10:0:3:1", 8, 7);
    fake.addDevice("10:1:3:2", 8, 8);   // another channel: not served
    fake.addDevice("2:0:300:0", 8, 9);  // target id beyond a request block's byte
    fake.addDevice("0:0:0:0", 0, 0);
    auto adapters = makeSgTransports({"test", 1, "sg", {}}, fake.system());
    ASSERT_EQ(adapters.size(), 3u);

    using Probe = std::tuple<size_t, uint8_t, uint8_t, std::optional<uint8_t>>;
    for (auto [adapter, target, lun, type] : {Probe{0, 0, 0, 0}, Probe{0, 0, 1, std::nullopt},
                                              Probe{1, 44, 0, std::nullopt}, Probe{2, 3, 1, 8},
                                              Probe{2, 3, 2, std::nullopt}})
        EXPECT_EQ(adapters[adapter]->deviceType(target, lun), type)
            << "adapter " << adapter << " target " << int(target) << " lun " << int(lun);
    EXPECT_TRUE(fake.opened.empty()) << "a device-type probe must not open the device";
}

TEST(SgHosts, NoHostsMeansNoAdaptersAndArgumentsAreRefused) {
    FakeSgSystem fake;
    EXPECT_TRUE(makeSgTransports({"test", 1, "sg", {}}, fake.system()).empty());
    EXPECT_THROW(makeSgTransports({"test", 1, "sg", {"/dev/sg0"}}, fake.system()), ConfigError);
}

TEST(SgHosts, WithoutAConfigurationFileTheLayerServesEveryLocalHost) {
    size_t hosts = 0;
    std::error_code none;
    for (const auto& entry : fs::directory_iterator("/sys/class/scsi_host", none))
        hosts += entry.path().filename().string().starts_with("host");
    AspiLayer layer = AspiLayer::fromConfigFile((fs::temp_directory_path() / "no-such-wnaspi32.conf").string());
    EXPECT_EQ(layer.supportInfo(), (uint32_t{SS_COMP} << 8) | hosts);
}

TEST_F(SgFixture, ScanFindsTheChangerThroughTheLayerAndSeesNewDevices) {
    SRBunion probe{};
    probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    probe.gdev.SRB_Target = 4;
    EXPECT_EQ(layer().send(&probe), SS_COMP);
    EXPECT_EQ(probe.gdev.SRB_DeviceType, 8);

    fake.addDevice("0:0:1:0", 3, 9);
    probe.gdev.SRB_Target = 1;
    EXPECT_EQ(layer().send(&probe), SS_NO_DEVICE);  // not seen until a scan starts
    probe.gdev.SRB_Target = 0;
    EXPECT_EQ(layer().send(&probe), SS_NO_DEVICE);  // target 0 LUN 0 begins the scan
    probe.gdev.SRB_Target = 1;
    EXPECT_EQ(layer().send(&probe), SS_COMP);
    EXPECT_EQ(probe.gdev.SRB_DeviceType, 3);
}

using Direction = std::tuple<uint8_t /*opcode*/, uint32_t /*bufLen*/, int /*dxfer_direction*/>;

class SgDirection : public SgFixture, public ::testing::WithParamInterface<Direction> {};

TEST_P(SgDirection, ComesFromTheOpcodeTable) {
    auto [opcode, bufLen, direction] = GetParam();
    EXPECT_EQ(execute(4, opcode, bufLen), SS_COMP);
    EXPECT_EQ(fake.last.dxfer_direction, direction);
    EXPECT_EQ(fake.last.dxfer_len, bufLen);
    EXPECT_EQ(fake.lastCdb.size(), opcode >= 0xA0 ? 12u : opcode >= 0x20 ? 10u : 6u);
    EXPECT_EQ(fake.lastCdb[0], opcode);
}

INSTANTIATE_TEST_SUITE_P(Table, SgDirection,
                         ::testing::Values(Direction{0x00, 0, SG_DXFER_NONE}, Direction{0x12, 47, SG_DXFER_FROM_DEV},
                                           Direction{0x15, 10, SG_DXFER_TO_DEV}, Direction{0x1A, 31, SG_DXFER_FROM_DEV},
                                           Direction{0x3B, 13, SG_DXFER_TO_DEV}, Direction{0xA5, 0, SG_DXFER_NONE},
                                           Direction{0xB8, 200, SG_DXFER_FROM_DEV},
                                           Direction{0xE7, 0, SG_DXFER_NONE}));  // unknown, no data

TEST_F(SgFixture, UnknownOpcodeWithDataIsRefusedBeforeTheDevice) {
    EXPECT_EQ(execute(4, 0xE7, 16), SS_INVALID_SRB);
    EXPECT_EQ(fake.ioctls, 0);
}

using Timeout = std::tuple<uint8_t /*opcode*/, unsigned /*ms*/>;

class SgTimeout : public SgFixture, public ::testing::WithParamInterface<Timeout> {};

TEST_P(SgTimeout, IsLongForChangerMechanicsAndShortOtherwise) {
    auto [opcode, milliseconds] = GetParam();
    execute(4, opcode, 0);
    EXPECT_EQ(fake.last.timeout, milliseconds);
}

INSTANTIATE_TEST_SUITE_P(Table, SgTimeout,
                         ::testing::Values(Timeout{0x07, 1'200'000}, Timeout{0x3B, 600'000}, Timeout{0xA5, 300'000},
                                           Timeout{0x01, 300'000}, Timeout{0x00, 30'000}, Timeout{0x12, 30'000}));

struct Reply {
    uint8_t scsiStatus;
    uint16_t hostStatus, driverStatus;
    uint8_t srbStatus, haStat, senseKey, asc, ascq;
};

class SgReply : public SgFixture, public ::testing::WithParamInterface<Reply> {};

TEST_P(SgReply, BecomesStatusHostStatusAndSense) {
    const Reply& reply = GetParam();
    fake.reply.status = reply.scsiStatus;
    fake.reply.host_status = reply.hostStatus;
    fake.reply.driver_status = reply.driverStatus;
    if (reply.scsiStatus == 0x02)
        fake.replySense = {0x70, 0, reply.senseKey, 0, 0, 0, 0, 10, 0, 0, 0, 0, reply.asc, reply.ascq, 0, 0, 0, 0};
    SRBunion srb;
    EXPECT_EQ(execute(4, 0xA5, 0, &srb), reply.srbStatus);
    EXPECT_EQ(std::make_tuple(srb.exec.SRB_HaStat, srb.exec.SRB_TargStat, srb.exec.SenseArea[2] & 0x0F,
                              srb.exec.SenseArea[12], srb.exec.SenseArea[13]),
              std::make_tuple(reply.haStat, reply.scsiStatus, int(reply.senseKey), reply.asc, reply.ascq));
    EXPECT_EQ(srb.exec.SenseArea[14], 0) << "at most SRB_SenseLen bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SgReply,
    ::testing::Values(Reply{0x00, 0x00, 0x00, SS_COMP, HASTAT_OK, 0, 0, 0},
                      Reply{0x02, 0x00, 0x08, SS_ERR, HASTAT_OK, 0x05, 0x3B, 0x0E},  // driver byte: sense
                      Reply{0x02, 0x00, 0x08, SS_ERR, HASTAT_OK, 0x06, 0x28, 0x00},
                      Reply{0x08, 0x00, 0x00, SS_ERR, HASTAT_OK, 0, 0, 0},
                      Reply{0x00, 0x01, 0x00, SS_NO_DEVICE, HASTAT_SEL_TO, 0, 0, 0},
                      Reply{0x00, 0x04, 0x00, SS_NO_DEVICE, HASTAT_SEL_TO, 0, 0, 0},
                      Reply{0x00, 0x03, 0x06, SS_ABORTED, HASTAT_OK, 0, 0, 0},
                      Reply{0x00, 0x00, 0x06, SS_ABORTED, HASTAT_OK, 0, 0, 0},
                      Reply{0x00, 0x05, 0x00, SS_ABORTED, HASTAT_OK, 0, 0, 0},
                      Reply{0x00, 0x08, 0x00, SS_ERR, HASTAT_BUS_FREE, 0, 0, 0},
                      Reply{0x00, 0x0E, 0x00, SS_ERR, HASTAT_BUS_FREE, 0, 0, 0},
                      Reply{0x00, 0x06, 0x00, SS_ERR, HASTAT_PHASE_ERR, 0, 0, 0},
                      Reply{0x00, 0x07, 0x00, SS_ERR, HASTAT_OK, 0, 0, 0},
                      Reply{0x00, 0x00, 0x04, SS_ERR, HASTAT_OK, 0, 0, 0}));

using IoctlError = std::tuple<int /*errno*/, uint8_t /*SRB_Status*/>;

class SgIoctlError : public SgFixture, public ::testing::WithParamInterface<IoctlError> {};

TEST_P(SgIoctlError, BecomesAStatus) {
    auto [error, status] = GetParam();
    fake.ioctlErrno = error;
    EXPECT_EQ(execute(4, 0x00, 0), status);
}

INSTANTIATE_TEST_SUITE_P(Table, SgIoctlError,
                         ::testing::Values(IoctlError{ENODEV, SS_NO_DEVICE}, IoctlError{ENXIO, SS_NO_DEVICE},
                                           IoctlError{EINTR, SS_ABORTED}, IoctlError{ENOMEM, SS_NO_RESOURCES},
                                           IoctlError{EINVAL, SS_INVALID_SRB}, IoctlError{EIO, SS_ERR}));

TEST_F(SgFixture, DeviceIsOpenedOnceAndAgainAfterItWentAway) {
    execute(4, 0x00, 0);
    execute(4, 0x00, 0);
    execute(5, 0x00, 0);
    EXPECT_EQ(fake.opened, (std::vector<std::string>{"sg3", "sg4"}));
    fake.ioctlErrno = ENODEV;
    EXPECT_EQ(execute(4, 0x00, 0), SS_NO_DEVICE);
    fake.ioctlErrno = 0;
    EXPECT_EQ(execute(4, 0x00, 0), SS_COMP);
    EXPECT_EQ(fake.opened.size(), 3u);
    EXPECT_EQ(fake.closes, 1);
}

TEST_F(SgFixture, AddressWithoutADeviceIsNoDevice) {
    EXPECT_EQ(execute(7, 0x00, 0), SS_NO_DEVICE);
    EXPECT_EQ(fake.ioctls, 0);
}

using OpenError = std::tuple<int /*errno*/, uint8_t /*SRB_Status*/, bool /*explained*/>;

class SgOpenError : public SgFixture, public ::testing::WithParamInterface<OpenError> {};

TEST_P(SgOpenError, BecomesAStatusAndAnAccessProblemIsExplainedOnce) {
    auto [error, status, explained] = GetParam();
    fake.openErrno = error;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(execute(4, 0x00, 0), status);
    EXPECT_EQ(execute(4, 0x00, 0), status);
    std::string said = ::testing::internal::GetCapturedStderr();
    if (explained) {
        EXPECT_NE(said.find("/sg3"), std::string::npos) << said;
        EXPECT_NE(said.find("usermod -aG"), std::string::npos) << said;
        EXPECT_NE(said.find("udev rule"), std::string::npos) << said;
        EXPECT_EQ(said.find("wnaspi32"), said.rfind("wnaspi32")) << "said twice: " << said;
    } else {
        EXPECT_EQ(said, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SgOpenError,
                         ::testing::Values(OpenError{EACCES, SS_ERR, true}, OpenError{EPERM, SS_ERR, true},
                                           OpenError{ENOENT, SS_NO_DEVICE, false},
                                           OpenError{EMFILE, SS_NO_RESOURCES, false}));

TEST_F(SgFixture, ScanExplainsAChangerTheUserMayNotOpenAndStillReportsIt) {
    fake.accessErrno = EACCES;
    SRBunion probe{};
    probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    probe.gdev.SRB_Target = 4;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(layer().send(&probe), SS_COMP);
    EXPECT_EQ(layer().send(&probe), SS_COMP);
    fake.openErrno = EACCES;
    EXPECT_EQ(execute(4, 0x00, 0), SS_ERR);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Permission denied"), std::string::npos) << said;
    EXPECT_EQ(said.find("wnaspi32"), said.rfind("wnaspi32")) << "said more than once: " << said;
    EXPECT_TRUE(fake.opened.size() == 1u);
}

TEST_F(SgFixture, DeviceWithoutAnSgNodeIsExplained) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(execute(6, 0x00, 0), SS_NO_DEVICE);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("modprobe sg"), std::string::npos) << said;
}

}  // namespace
}  // namespace aspi
