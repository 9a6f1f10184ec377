// SPDX-License-Identifier: MIT
#include "sg_device_address.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "aspi_config/kernel_scsi_address.h"
#include "aspi_config/sg_host_scan.h"

namespace karvel::ctl {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDevicePrefix = "/dev/sg";
// The layer serves at most 255 host adapters.
constexpr size_t kMaxAdapters = 255;

// Returns the value of text when it is decimal digits only.
std::optional<unsigned> wholeNumber(std::string_view text) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

bool isSgDevicePath(const std::string& text) {
    return text.starts_with(kDevicePrefix) && wholeNumber(std::string_view(text).substr(kDevicePrefix.size()));
}

std::optional<SgDeviceAddress> resolveSgDevice(const std::string& devicePath, std::string& why,
                                                 const std::string& sysfsRoot) {
    if (!isSgDevicePath(devicePath)) {
        why = "'" + devicePath + "' is not a SCSI generic device: give /dev/sgN (lsscsi -g lists them)";
        return std::nullopt;
    }
    const std::string node = devicePath.substr(std::string_view("/dev/").size());
    const fs::path link = fs::path(sysfsRoot) / "class/scsi_generic" / node / "device";
    std::error_code error;
    const fs::path device = fs::canonical(link, error);
    if (error) {
        why = devicePath + ": no such SCSI generic device (nothing at " + link.string() + ")";
        return std::nullopt;
    }
    const std::string kernelName = device.filename().string();
    const std::optional<aspi::KernelScsiAddress> address = aspi::parseKernelScsiAddress(kernelName);
    if (!address) {
        why = devicePath + ": its sysfs device '" + kernelName + "' is not a SCSI address H:C:T:L";
        return std::nullopt;
    }
    if (address->channel != 0) {
        why = devicePath + " is " + kernelName + ", on channel " + std::to_string(address->channel) +
              ": only channel 0 is reachable (a request block has no channel field)";
        return std::nullopt;
    }
    if (address->target > 255 || address->lun > 255) {
        why = devicePath + " is " + kernelName + ": its target id or LUN does not fit in a request block";
        return std::nullopt;
    }

    // The sg transport numbers its adapters by this very scan, so the rank found here is the
    // adapter a configuration of just `sg` serves the host as.
    const std::vector<aspi::SgHost> hosts = aspi::scanSgHosts(sysfsRoot);
    auto host = std::find_if(hosts.begin(), hosts.end(),
                             [&](const aspi::SgHost& each) { return each.number == address->host; });
    if (host == hosts.end()) {
        why = devicePath + " is " + kernelName + ", but host " + std::to_string(address->host) + " is not listed in " +
              (fs::path(sysfsRoot) / "class/scsi_host").string();
        return std::nullopt;
    }
    const size_t rank = static_cast<size_t>(host - hosts.begin());
    if (rank >= kMaxAdapters) {
        why = devicePath + " is " + kernelName + ": host " + std::to_string(address->host) +
              " lies beyond the 255 host adapters the layer serves";
        return std::nullopt;
    }
    const bool served = std::any_of(host->devices.begin(), host->devices.end(), [&](const aspi::SgDevice& each) {
        return each.target == address->target && each.lun == address->lun && each.sgName == node;
    });
    if (!served) {
        why = devicePath + " is " + kernelName + ", but the kernel lists no such device with that sg node";
        return std::nullopt;
    }
    return SgDeviceAddress{static_cast<uint8_t>(rank), static_cast<uint8_t>(address->target),
                           static_cast<uint8_t>(address->lun), address->host};
}

}  // namespace karvel::ctl
