// SPDX-License-Identifier: MIT
#include "sg_transport.h"
#include "outside_text.h"

#include <fcntl.h>
#include <grp.h>
#include <scsi/sg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "command_outcome.h"
#include "command_timeout.h"
#include "aspi_config/sg_host_scan.h"
#include "sg_host_status.h"

namespace aspi {

namespace {

// Larger than any sense the layer passes on, so a long descriptor-format sense is not cut by us.
constexpr unsigned kSenseBufferLength = 32;

CommandResult statusOnly(uint8_t aspiStatus) {
    CommandResult result;
    result.aspiStatus = aspiStatus;
    return result;
}

std::string groupOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "disk";
    if (const group* owner = ::getgrgid(info.st_gid)) return owner->gr_name;
    return std::to_string(info.st_gid);
}

class SgTransport final : public Transport {
public:
    SgTransport(unsigned hostNumber, std::vector<SgDevice> devices, std::shared_ptr<const SgSystem> system)
        : m_host(hostNumber), m_devices(std::move(devices)), m_system(std::move(system)) {}

    ~SgTransport() override { closeAll(); }

    CommandResult execute(const CommandRequest& request) override {
        std::lock_guard lock(m_mutex);
        const SgDevice* device = find(request.target, request.lun);
        if (!device) return noDeviceResult();
        if (device->sgName.empty()) {
            complainOnce(where(*device), "the sg driver has no node for it; load it with 'modprobe sg'");
            return noDeviceResult();
        }
        int fd = -1;
        if (auto failure = openDevice(*device, fd)) return *failure;
        return run(*device, fd, request);
    }

    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override {
        std::lock_guard lock(m_mutex);
        const SgDevice* device = find(target, lun);
        if (!device) return std::nullopt;
        // Warn during the scan already: a changer that is found but cannot be opened would
        // otherwise only show as failing commands.
        if (!device->sgName.empty() && m_system->access(pathOf(*device), R_OK | W_OK) != 0 &&
            (errno == EACCES || errno == EPERM))
            complainAccess(*device, errno);
        return device->deviceType;
    }

    void beginScan() override {
        std::lock_guard lock(m_mutex);
        closeAll();
        m_devices = scanSgDevices(m_system->sysfsRoot, m_host);
    }

private:
    const SgDevice* find(uint8_t target, uint8_t lun) const {
        for (const auto& device : m_devices)
            if (device.target == target && device.lun == lun) return &device;
        return nullptr;
    }

    std::string pathOf(const SgDevice& device) const { return m_system->devRoot + "/" + device.sgName; }

    std::string where(const SgDevice& device) const {
        return "host " + std::to_string(m_host) + " target " + std::to_string(device.target) + " LUN " +
               std::to_string(device.lun) + (device.sgName.empty() ? "" : " (" + pathOf(device) + ")");
    }

    void complainOnce(const std::string& subject, const std::string& text) {
        if (!m_complained.insert(subject).second) return;
        std::fprintf(stderr, "wnaspi32: %s\n", karvel::escapeText(subject + ": " + text).c_str());
    }

    void complainAccess(const SgDevice& device, int error) {
        std::string path = pathOf(device);
        std::string group = groupOf(path);
        complainOnce(where(device),
                      std::string(std::strerror(error)) + "; to use it, add your user to the group '" + group +
                          "' (sudo usermod -aG " + group + " $USER, then log in again), or give it to a group " +
                          "of yours with a udev rule, e.g. SUBSYSTEM==\"scsi_generic\", ATTRS{type}==\"" +
                          std::to_string(device.deviceType) + "\", GROUP=\"<group>\", MODE=\"0660\"");
    }

    // Opens the device's node (or reuses it); returns the result to give instead on failure.
    std::optional<CommandResult> openDevice(const SgDevice& device, int& fd) {
        if (auto open = m_fds.find(device.sgName); open != m_fds.end()) {
            fd = open->second;
            return std::nullopt;
        }
        // O_NONBLOCK so that open never waits for another program's exclusive open.
        fd = m_system->open(pathOf(device), O_RDWR | O_NONBLOCK);
        if (fd >= 0) {
            m_fds[device.sgName] = fd;
            return std::nullopt;
        }
        int error = errno;
        switch (error) {
        case EACCES:
        case EPERM:
            complainAccess(device, error);
            return statusOnly(SS_ERR);
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return noDeviceResult();
        case EMFILE:
        case ENFILE:
        case ENOMEM:
            return statusOnly(SS_NO_RESOURCES);
        default:
            complainOnce(where(device), std::string("cannot open: ") + std::strerror(error));
            return statusOnly(SS_ERR);
        }
    }

    CommandResult run(const SgDevice& device, int fd, const CommandRequest& request) {
        uint8_t sense[kSenseBufferLength]{};
        sg_io_hdr header{};
        header.interface_id = 'S';
        header.cmd_len = static_cast<unsigned char>(request.cdb.size());
        header.cmdp = const_cast<unsigned char*>(request.cdb.data());
        header.mx_sb_len = sizeof sense;
        header.sbp = sense;
        header.timeout = static_cast<unsigned>(commandTimeout(request.cdb[0]).count() * 1000);
        header.dxfer_len = static_cast<unsigned>(request.data.size());
        header.dxferp = request.data.empty() ? nullptr : request.data.data();
        if (request.data.empty() || request.direction == DataDirection::none)
            header.dxfer_direction = SG_DXFER_NONE;
        else
            header.dxfer_direction = request.direction == DataDirection::in ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV;

        if (m_system->sgIo(fd, &header) < 0) {
            int error = errno;
            switch (error) {
            case ENODEV:
            case ENXIO:
                forget(device);
                return noDeviceResult();
            case EINTR:
                return commandResult(HostCondition::aborted, 0, {});
            case ENOMEM:
                return statusOnly(SS_NO_RESOURCES);
            case EINVAL:
                // The kernel refused the request itself (for instance longer than the host moves).
                return statusOnly(SS_INVALID_SRB);
            default:
                return commandResult(HostCondition::otherFailure, 0, {});
            }
        }
        HostCondition host = sgHostCondition(header.host_status, header.driver_status);
        if (host == HostCondition::selectionTimeout) forget(device);
        unsigned senseLength = std::min<unsigned>(header.sb_len_wr, sizeof sense);
        return commandResult(host, header.status, {sense, senseLength});
    }

    void forget(const SgDevice& device) {
        if (auto open = m_fds.find(device.sgName); open != m_fds.end()) {
            m_system->close(open->second);
            m_fds.erase(open);
        }
    }

    void closeAll() {
        for (auto& [name, fd] : m_fds) m_system->close(fd);
        m_fds.clear();
    }

    const unsigned m_host;
    std::vector<SgDevice> m_devices;
    std::shared_ptr<const SgSystem> m_system;
    std::map<std::string, int> m_fds;
    std::set<std::string> m_complained;
    std::mutex m_mutex;
};

}  // namespace

std::vector<std::unique_ptr<Transport>> makeSgTransports(const TransportLine& line,
                                                           std::shared_ptr<const SgSystem> system) {
    if (!line.args.empty())
        throw ConfigError("'sg' takes no arguments (it serves every local SCSI host), found '" + line.args[0] + "'");
    std::vector<std::unique_ptr<Transport>> adapters;
    for (auto& host : scanSgHosts(system->sysfsRoot))
        adapters.push_back(std::make_unique<SgTransport>(host.number, std::move(host.devices), system));
    return adapters;
}

std::vector<std::unique_ptr<Transport>> makeSgTransports(const TransportLine& line) {
    return makeSgTransports(line, realSgSystem());
}

}  // namespace aspi
