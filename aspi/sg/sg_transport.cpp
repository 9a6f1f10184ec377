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

CommandResult status_only(uint8_t aspiStatus) {
    CommandResult result;
    result.aspiStatus = aspiStatus;
    return result;
}

std::string group_of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "disk";
    if (const group* owner = ::getgrgid(info.st_gid)) return owner->gr_name;
    return std::to_string(info.st_gid);
}

class SgTransport final : public Transport {
public:
    SgTransport(unsigned hostNumber, std::vector<SgDevice> devices, std::shared_ptr<const SgSystem> system)
        : host_(hostNumber), devices_(std::move(devices)), system_(std::move(system)) {}

    ~SgTransport() override { close_all(); }

    CommandResult execute(const CommandRequest& request) override {
        std::lock_guard lock(mutex_);
        const SgDevice* device = find(request.target, request.lun);
        if (!device) return no_device_result();
        if (device->sgName.empty()) {
            complain_once(where(*device), "the sg driver has no node for it; load it with 'modprobe sg'");
            return no_device_result();
        }
        int fd = -1;
        if (auto failure = open_device(*device, fd)) return *failure;
        return run(*device, fd, request);
    }

    std::optional<uint8_t> deviceType(uint8_t target, uint8_t lun) override {
        std::lock_guard lock(mutex_);
        const SgDevice* device = find(target, lun);
        if (!device) return std::nullopt;
        // Warn during the scan already: a changer that is found but cannot be opened would
        // otherwise only show as failing commands.
        if (!device->sgName.empty() && system_->access(path_of(*device), R_OK | W_OK) != 0 &&
            (errno == EACCES || errno == EPERM))
            complain_access(*device, errno);
        return device->deviceType;
    }

    void beginScan() override {
        std::lock_guard lock(mutex_);
        close_all();
        devices_ = scan_sg_devices(system_->sysfsRoot, host_);
    }

private:
    const SgDevice* find(uint8_t target, uint8_t lun) const {
        for (const auto& device : devices_)
            if (device.target == target && device.lun == lun) return &device;
        return nullptr;
    }

    std::string path_of(const SgDevice& device) const { return system_->devRoot + "/" + device.sgName; }

    std::string where(const SgDevice& device) const {
        return "host " + std::to_string(host_) + " target " + std::to_string(device.target) + " LUN " +
               std::to_string(device.lun) + (device.sgName.empty() ? "" : " (" + path_of(device) + ")");
    }

    void complain_once(const std::string& subject, const std::string& text) {
        if (!complained_.insert(subject).second) return;
        std::fprintf(stderr, "wnaspi32: %s\n", karvel::escapeText(subject + ": " + text).c_str());
    }

    void complain_access(const SgDevice& device, int error) {
        std::string path = path_of(device);
        std::string group = group_of(path);
        complain_once(where(device),
                      std::string(std::strerror(error)) + "; to use it, add your user to the group '" + group +
                          "' (sudo usermod -aG " + group + " $USER, then log in again), or give it to a group " +
                          "of yours with a udev rule, e.g. SUBSYSTEM==\"scsi_generic\", ATTRS{type}==\"" +
                          std::to_string(device.deviceType) + "\", GROUP=\"<group>\", MODE=\"0660\"");
    }

    // Opens the device's node (or reuses it); returns the result to give instead on failure.
    std::optional<CommandResult> open_device(const SgDevice& device, int& fd) {
        if (auto open = fds_.find(device.sgName); open != fds_.end()) {
            fd = open->second;
            return std::nullopt;
        }
        // O_NONBLOCK so that open never waits for another program's exclusive open.
        fd = system_->open(path_of(device), O_RDWR | O_NONBLOCK);
        if (fd >= 0) {
            fds_[device.sgName] = fd;
            return std::nullopt;
        }
        int error = errno;
        switch (error) {
        case EACCES:
        case EPERM:
            complain_access(device, error);
            return status_only(SS_ERR);
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return no_device_result();
        case EMFILE:
        case ENFILE:
        case ENOMEM:
            return status_only(SS_NO_RESOURCES);
        default:
            complain_once(where(device), std::string("cannot open: ") + std::strerror(error));
            return status_only(SS_ERR);
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
        header.timeout = static_cast<unsigned>(command_timeout(request.cdb[0]).count() * 1000);
        header.dxfer_len = static_cast<unsigned>(request.data.size());
        header.dxferp = request.data.empty() ? nullptr : request.data.data();
        if (request.data.empty() || request.direction == DataDirection::none)
            header.dxfer_direction = SG_DXFER_NONE;
        else
            header.dxfer_direction = request.direction == DataDirection::in ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV;

        if (system_->sgIo(fd, &header) < 0) {
            int error = errno;
            switch (error) {
            case ENODEV:
            case ENXIO:
                forget(device);
                return no_device_result();
            case EINTR:
                return command_result(HostCondition::aborted, 0, {});
            case ENOMEM:
                return status_only(SS_NO_RESOURCES);
            case EINVAL:
                // The kernel refused the request itself (for instance longer than the host moves).
                return status_only(SS_INVALID_SRB);
            default:
                return command_result(HostCondition::other_failure, 0, {});
            }
        }
        HostCondition host = sg_host_condition(header.host_status, header.driver_status);
        if (host == HostCondition::selection_timeout) forget(device);
        unsigned senseLength = std::min<unsigned>(header.sb_len_wr, sizeof sense);
        return command_result(host, header.status, {sense, senseLength});
    }

    void forget(const SgDevice& device) {
        if (auto open = fds_.find(device.sgName); open != fds_.end()) {
            system_->close(open->second);
            fds_.erase(open);
        }
    }

    void close_all() {
        for (auto& [name, fd] : fds_) system_->close(fd);
        fds_.clear();
    }

    const unsigned host_;
    std::vector<SgDevice> devices_;
    std::shared_ptr<const SgSystem> system_;
    std::map<std::string, int> fds_;
    std::set<std::string> complained_;
    std::mutex mutex_;
};

}  // namespace

std::vector<std::unique_ptr<Transport>> make_sg_transports(const TransportLine& line,
                                                           std::shared_ptr<const SgSystem> system) {
    if (!line.args.empty())
        throw ConfigError("'sg' takes no arguments (it serves every local SCSI host), found '" + line.args[0] + "'");
    std::vector<std::unique_ptr<Transport>> adapters;
    for (auto& host : scan_sg_hosts(system->sysfsRoot))
        adapters.push_back(std::make_unique<SgTransport>(host.number, std::move(host.devices), system));
    return adapters;
}

std::vector<std::unique_ptr<Transport>> make_sg_transports(const TransportLine& line) {
    return make_sg_transports(line, real_sg_system());
}

}  // namespace aspi
