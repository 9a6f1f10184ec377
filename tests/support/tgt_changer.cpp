// SPDX-License-Identifier: MIT
#include "tgt_changer.h"

#include "child_process.h"
#include "scratch_dir.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace karvel::test {

namespace fs = std::filesystem;
using test_support::readFile;
using namespace std::chrono_literals;

namespace {

constexpr int kTid = 1;
constexpr auto kStartLimit = 10s;
constexpr auto kStopLimit = 5s;
constexpr size_t kMediumBytes = 64 * 1024;

// What every TgtChanger of this process shares (see the header).
struct ProcessPortal {
    bool chosen = false;
    uint16_t port = 0;
    int control = 0;
    std::string directory;
    bool instanceAlive = false;
};

ProcessPortal& processPortal() {
    static ProcessPortal portal;
    return portal;
}

std::string program(const char* name) {
    std::string sbin = std::string("/usr/sbin/") + name;
    return ::access(sbin.c_str(), X_OK) == 0 ? sbin : name;
}

// Runs one of tgt's tools to its end, with stderr and stdout as one text.
test_support::ProcessResult runTool(const std::vector<std::string>& argv) {
    return test_support::runProcess(argv, {}, test_support::ProcessOptions{}.merged());
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

uint16_t freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot find a free loopback port");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool portAnswers(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool answers = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

std::string controlSocket(int control) { return "/var/run/tgtd/socket." + std::to_string(control); }

// A control number no tgtd of this machine uses: one whose socket does not exist. tgtd takes
// numbers up to 32767.
int freshControlNumber() {
    int start = 2000 + static_cast<int>(::getpid() % 28000);
    for (int control = start; control < start + 1000; ++control)
        if (!fs::exists(controlSocket(control)) && !fs::exists(controlSocket(control) + ".lock")) return control;
    throw std::runtime_error("no free tgtd control number");
}

std::string barcode(unsigned slotIndex) {
    char text[16];
    std::snprintf(text, sizeof text, "KARVEL%02u", slotIndex);
    return text;
}

}  // namespace

TgtChanger::TgtChanger(TgtChangerLayout layout) : m_layout(std::move(layout)) {
    if (::geteuid() != 0) throw std::runtime_error("tgtd needs root: run the tgt tests as root");
    ProcessPortal& shared = processPortal();
    if (shared.instanceAlive) throw std::logic_error("only one TgtChanger may live at a time");
    if (!shared.chosen) {
        shared.directory = test_support::makeScratchDirectory("karvel-tgt");
        shared.control = freshControlNumber();
        shared.port = freeLoopbackPort();
        shared.chosen = true;
    }
    m_port = shared.port;
    m_control = shared.control;
    m_directory = shared.directory;
    m_targetName = "iqn.2024-01.org.karvel.test:changer-" + std::to_string(m_control);
    m_configPath = m_directory + "/wnaspi32.conf";

    fs::create_directories(m_directory + "/media");
    std::ofstream(m_directory + "/smc").write(std::string(1024, '\0').data(), 1024);
    std::ofstream config(m_configPath);
    config << "# a tgt changer for tests\niscsi " << portalUrl();
    if (!m_layout.chapUser.empty()) config << " user=" << m_layout.chapUser << " password=" << m_layout.chapPassword;
    config << "\n";
    config.close();
    ::setenv("ASPI32_CONFIG", m_configPath.c_str(), 1);

    try {
        start();
        configure();
    } catch (...) {
        stop();
        std::error_code ignored;
        fs::remove_all(m_directory, ignored);
        throw;
    }
    shared.instanceAlive = true;
}

TgtChanger::~TgtChanger() {
    stop();
    std::error_code ignored;
    fs::remove_all(m_directory, ignored);
    processPortal().instanceAlive = false;
}

std::string TgtChanger::portalUrl() const { return "iscsi://127.0.0.1:" + std::to_string(m_port); }

void TgtChanger::start() {
    std::string log = m_directory + "/tgtd.log";
    int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (logFd < 0) throw std::runtime_error("cannot write " + log);
    std::vector<std::string> argv = {program("tgtd"), "-f", "-C", std::to_string(m_control), "--iscsi",
                                     "portal=127.0.0.1:" + std::to_string(m_port)};
    // tgtd ignores SIGTERM: it dies with this process, so a crashed test leaves none behind.
    m_tgtd = test_support::startProcess(argv, logFd, true);
    ::close(logFd);

    auto limit = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < limit) {
        int status = 0;
        if (::waitpid(m_tgtd, &status, WNOHANG) == m_tgtd) {
            m_tgtd = -1;
            throw std::runtime_error("tgtd ended at once (" + joined(argv) + "):\n" + readFile(log));
        }
        bool controlReady =
            runTool({program("tgtadm"), "-C", std::to_string(m_control), "--op", "show", "--mode", "sys"}).exitCode == 0;
        if (controlReady && portAnswers(m_port)) return;
        std::this_thread::sleep_for(50ms);
    }
    stop();
    throw std::runtime_error("tgtd did not start listening on 127.0.0.1:" + std::to_string(m_port) + ":\n" +
                             readFile(log));
}

void TgtChanger::tgtadm(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {program("tgtadm"), "-C", std::to_string(m_control), "--lld", "iscsi"};
    argv.insert(argv.end(), args.begin(), args.end());
    const test_support::ProcessResult run = runTool(argv);
    if (run.exitCode != 0)
        throw std::runtime_error("'" + joined(argv) + "' failed (" + std::to_string(run.exitCode) + "): " + run.out);
}

void TgtChanger::configure() {
    std::string tid = std::to_string(kTid);
    auto lun = [](unsigned value) { return std::to_string(value); };
    auto updateChanger = [&](const std::string& params) {
        tgtadm({"--mode", "logicalunit", "--op", "update", "--tid", tid, "--lun", lun(kChangerLun), "--params", params});
    };
    auto elements = [](int type, unsigned start, unsigned quantity) {
        return "element_type=" + std::to_string(type) + ",start_address=" + std::to_string(start) +
               ",quantity=" + std::to_string(quantity);
    };

    tgtadm({"--mode", "target", "--op", "new", "--tid", tid, "--targetname", m_targetName});
    // The drives first: the changer's data transfer elements name them.
    for (unsigned drive = 0; drive < m_layout.driveCount; ++drive)
        tgtadm({"--mode", "logicalunit", "--op", "new", "--tid", tid, "--lun", lun(driveLun(drive)), "--device-type",
                "cd"});
    tgtadm({"--mode", "logicalunit", "--op", "new", "--tid", tid, "--lun", lun(kChangerLun), "--backing-store",
            m_directory + "/smc", "--device-type", "changer"});
    updateChanger(elements(1, m_layout.pickerAddress, 1));
    updateChanger(elements(2, m_layout.firstSlot, m_layout.slotCount));
    if (m_layout.portCount) updateChanger(elements(3, m_layout.firstPort, m_layout.portCount));
    updateChanger(elements(4, m_layout.firstDrive, m_layout.driveCount));
    for (unsigned drive = 0; drive < m_layout.driveCount; ++drive)
        updateChanger("element_type=4,address=" + std::to_string(m_layout.firstDrive + drive) + ",tid=" + tid +
                       ",lun=" + lun(driveLun(drive)));
    updateChanger("media_home=" + m_directory + "/media");
    for (uint16_t slot : m_layout.fullSlots) {
        std::string code = barcode(slot);
        std::ofstream(m_directory + "/media/" + code).write(std::string(kMediumBytes, '\0').data(), kMediumBytes);
        updateChanger("element_type=2,address=" + std::to_string(m_layout.firstSlot + slot) + ",barcode=" + code +
                       ",sides=1");
    }
    if (!m_layout.chapUser.empty()) {
        tgtadm({"--mode", "account", "--op", "new", "--user", m_layout.chapUser, "--password", m_layout.chapPassword});
        tgtadm({"--mode", "account", "--op", "bind", "--tid", tid, "--user", m_layout.chapUser});
    }
    tgtadm({"--mode", "target", "--op", "bind", "--tid", tid, "--initiator-address", "ALL"});
}

void TgtChanger::kill() {
    if (m_tgtd < 0) return;
    ::kill(m_tgtd, SIGKILL);
    while (::waitpid(m_tgtd, nullptr, 0) < 0 && errno == EINTR) {}
    m_tgtd = -1;
}

void TgtChanger::freeze() {
    if (m_tgtd >= 0) ::kill(m_tgtd, SIGSTOP);
}

void TgtChanger::thaw() {
    if (m_tgtd >= 0) ::kill(m_tgtd, SIGCONT);
}

void TgtChanger::restart() {
    stop();
    start();
    configure();
}

void TgtChanger::stop() {
    if (m_tgtd >= 0) {
        thaw();  // a frozen tgtd would never answer tgtadm
        std::string control = std::to_string(m_control);
        // tgtd ignores SIGTERM; it ends when its system is deleted, which needs every target
        // gone first (a test may have added some).
        const test_support::ProcessResult shown = runTool({program("tgtadm"), "-C", control, "--op", "show", "--mode", "target"});
        std::istringstream lines(shown.out);
        for (std::string line; std::getline(lines, line);) {
            int tid = 0;
            if (std::sscanf(line.c_str(), "Target %d:", &tid) == 1)
                runTool({program("tgtadm"), "-C", control, "--op", "delete", "--mode", "target", "--tid",
                          std::to_string(tid), "--force"});
        }
        runTool({program("tgtadm"), "-C", control, "--op", "delete", "--mode", "system"});
        auto limit = std::chrono::steady_clock::now() + kStopLimit;
        while (::waitpid(m_tgtd, nullptr, WNOHANG) != m_tgtd) {
            if (std::chrono::steady_clock::now() >= limit) {
                kill();
                break;
            }
            std::this_thread::sleep_for(20ms);
        }
        m_tgtd = -1;
    }
    std::error_code ignored;
    fs::remove(controlSocket(m_control), ignored);
    fs::remove(controlSocket(m_control) + ".lock", ignored);
}

}  // namespace karvel::test
