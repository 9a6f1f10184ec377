// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "aspi_layer.h"
#include "iscsi/iscsi_transport.h"

namespace aspi {
namespace {

using namespace std::chrono_literals;

// A loopback portal that accepts connections and never says a word: what a hung target looks
// like. It counts the connections made to it.
class SilentPortal {
public:
    SilentPortal() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_listener, 64), 0);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~SilentPortal() {
        m_stop = true;
        m_thread.join();
        for (int fd : m_accepted) ::close(fd);
        ::close(m_listener);
    }
    uint16_t port() const { return m_port; }
    int connections() const { return m_connections; }

private:
    void serve() {
        while (!m_stop) {
            pollfd descriptor{m_listener, POLLIN, 0};
            if (::poll(&descriptor, 1, 20) > 0) {
                int fd = ::accept(m_listener, nullptr, nullptr);
                if (fd >= 0) m_accepted.push_back(fd);
                ++m_connections;
            }
        }
    }
    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::vector<int> m_accepted;
    std::thread m_thread;
};

// A loopback port nobody listens on (bound and closed again).
uint16_t closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

AspiLayer layerFor(uint16_t port) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(makeIscsiTransport(IscsiPortal{"127.0.0.1", port, "", "", ""}, IscsiTiming{300ms, std::nullopt}));
    return AspiLayer(std::move(adapters));
}

// Runs the discovery scan of one host adapter: target ids 0-15, LUNs 0-7; returns the statuses seen.
std::set<uint32_t> scan(AspiLayer& layer) {
    std::set<uint32_t> statuses;
    for (uint8_t target = 0; target < 16; ++target)
        for (uint8_t lun = 0; lun < 8; ++lun) {
            SRBunion probe{};
            probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
            probe.gdev.SRB_Target = target;
            probe.gdev.SRB_Lun = lun;
            statuses.insert(layer.send(&probe));
        }
    return statuses;
}

uint8_t testUnitReady(AspiLayer& layer, SRBunion& srb) {
    srb = {};
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_CDBLen = 6;
    srb.exec.SRB_SenseLen = SENSE_LEN;
    return static_cast<uint8_t>(layer.send(&srb));
}

TEST(IscsiUnreachable, SilentPortalCostsOneConnectionPerScan) {
    SilentPortal portal;
    AspiLayer layer = layerFor(portal.port());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(scan(layer), std::set<uint32_t>{SS_NO_DEVICE});
    EXPECT_EQ(portal.connections(), 1);
    EXPECT_EQ(scan(layer), std::set<uint32_t>{SS_NO_DEVICE});
    EXPECT_EQ(portal.connections(), 2);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("iscsi://127.0.0.1:" + std::to_string(portal.port())), std::string::npos) << said;
    EXPECT_EQ(said.find("wnaspi32"), said.rfind("wnaspi32")) << "said more than once: " << said;
}


class IscsiUnreachableCommand : public ::testing::TestWithParam<bool> {};

TEST_P(IscsiUnreachableCommand, EndsAsNoDeviceWithSelectionTimeout) {
    std::optional<SilentPortal> silent;
    if (GetParam()) silent.emplace();
    AspiLayer layer = layerFor(silent ? silent->port() : closedPort());
    ::testing::internal::CaptureStderr();
    SRBunion srb;
    EXPECT_EQ(std::make_tuple(testUnitReady(layer, srb), srb.exec.SRB_HaStat),
              std::make_tuple(uint8_t{SS_NO_DEVICE}, uint8_t{HASTAT_SEL_TO}));
    EXPECT_EQ(testUnitReady(layer, srb), SS_NO_DEVICE);
    ::testing::internal::GetCapturedStderr();
    if (silent) {
        EXPECT_EQ(silent->connections(), 2) << "each request tries once";
    }
}

INSTANTIATE_TEST_SUITE_P(SilentOrRefused, IscsiUnreachableCommand, ::testing::Bool());

}  // namespace
}  // namespace aspi
