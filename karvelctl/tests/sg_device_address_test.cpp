// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "sg_device_address.h"

namespace karvel::ctl {
namespace {

namespace fs = std::filesystem;

// A sysfs tree as the kernel lays it out for SCSI generic nodes: class/scsi_host/hostH,
// bus/scsi/devices/H:C:T:L with its type and scsi_generic/sgN, and class/scsi_generic/sgN/device
// linking back to the device.
class FakeSysfs {
public:
    FakeSysfs() : m_root(fs::temp_directory_path() / ("ctl_sysfs_" + std::to_string(::getpid()))) {
        fs::remove_all(m_root);
        fs::create_directories(m_root / "class/scsi_host");
        fs::create_directories(m_root / "class/scsi_generic");
        fs::create_directories(m_root / "bus/scsi/devices");
        // Hosts 0, 2 and 5: the gaps make the adapter number differ from the host number.
        for (unsigned host : {5u, 0u, 2u}) addHost(host);
        addDevice("0:0:0:0", 0, 0);
        addDevice("2:0:4:0", 8, 3);
        addDevice("2:1:3:0", 8, 4);  // a second channel
        addDevice("5:0:1:2", 8, 7);
        addDevice("7:0:0:0", 8, 5);  // its host is not listed
        addDevice("0:0:300:0", 8, 6);
        // A node whose device the bus does not list (a device going away).
        fs::create_directories(m_root / "class/scsi_generic/sg8");
        fs::create_directories(m_root / "gone/2:0:9:0");
        fs::create_directory_symlink(m_root / "gone/2:0:9:0", m_root / "class/scsi_generic/sg8/device");
    }
    ~FakeSysfs() { fs::remove_all(m_root); }
    std::string root() const { return m_root.string(); }

private:
    void addHost(unsigned number) { fs::create_directories(m_root / "class/scsi_host" / ("host" + std::to_string(number))); }
    void addDevice(const std::string& address, int type, int sgNumber) {
        const fs::path dir = m_root / "bus/scsi/devices" / address;
        const std::string node = "sg" + std::to_string(sgNumber);
        fs::create_directories(dir / "scsi_generic" / node);
        std::ofstream(dir / "type") << type << "\n";
        fs::create_directories(m_root / "class/scsi_generic" / node);
        fs::create_directory_symlink(dir, m_root / "class/scsi_generic" / node / "device");
    }
    fs::path m_root;
};

using Found = std::tuple<const char* /*path*/, std::tuple<int, int, int, unsigned> /*adapter, target, LUN, host*/>;

class SgDeviceFound : public ::testing::TestWithParam<Found> {};

TEST_P(SgDeviceFound, GivesTheAdapterTheSgTransportGivesItsHost) {
    auto [path, expected] = GetParam();
    FakeSysfs sysfs;
    std::string why;
    std::optional<SgDeviceAddress> address = resolveSgDevice(path, why, sysfs.root());
    ASSERT_TRUE(address) << why;
    EXPECT_EQ(std::make_tuple(int{address->adapter}, int{address->target}, int{address->lun}, address->host), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SgDeviceFound,
                         ::testing::Values(Found{"/dev/sg0", {0, 0, 0, 0u}}, Found{"/dev/sg3", {1, 4, 0, 2u}},
                                           Found{"/dev/sg7", {2, 1, 2, 5u}}));

using Refused = std::tuple<const char* /*path*/, const char* /*said*/>;

class SgDeviceRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(SgDeviceRefused, SaysWhy) {
    auto [path, said] = GetParam();
    FakeSysfs sysfs;
    std::string why;
    EXPECT_FALSE(resolveSgDevice(path, why, sysfs.root()));
    EXPECT_NE(why.find(said), std::string::npos) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SgDeviceRefused,
    ::testing::Values(Refused{"/dev/sg9", "/dev/sg9: no such SCSI generic device"},
                      Refused{"/dev/sg4", "/dev/sg4 is 2:1:3:0, on channel 1: only channel 0 is reachable"},
                      Refused{"/dev/sg5", "host 7 is not listed"}, Refused{"/dev/sg6", "does not fit"},
                      Refused{"/dev/sg8", "lists no such device"},
                      Refused{"/dev/sda", "not a SCSI generic device"}, Refused{"/dev/sg", "not a SCSI generic device"},
                      Refused{"/dev/sg3x", "not a SCSI generic device"},
                      Refused{"/dev/sg/../sg3", "not a SCSI generic device"}));

using PathForm = std::tuple<const char* /*text*/, bool /*is /dev/sgN*/>;

class SgDevicePathForm : public ::testing::TestWithParam<PathForm> {};

TEST_P(SgDevicePathForm, IsRecognisedByItsName) {
    auto [text, expected] = GetParam();
    EXPECT_EQ(isSgDevicePath(text), expected) << text;
}

INSTANTIATE_TEST_SUITE_P(Table, SgDevicePathForm,
                         ::testing::Values(PathForm{"/dev/sg0", true}, PathForm{"/dev/sg12", true},
                                           PathForm{"/dev/sg", false}, PathForm{"/dev/sg-1", false},
                                           PathForm{"/dev/sg1 ", false}, PathForm{"dev/sg1", false},
                                           PathForm{"0:4:0", false}, PathForm{"/dev/sch0", false}));

}  // namespace
}  // namespace karvel::ctl
