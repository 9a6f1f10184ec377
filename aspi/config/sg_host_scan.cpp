// SPDX-License-Identifier: MIT
#include "aspi_config/sg_host_scan.h"

#include "aspi_config/kernel_scsi_address.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

namespace aspi {

namespace fs = std::filesystem;

namespace {

// Parses a whole decimal number; nothing for anything else.
std::optional<unsigned> parseNumber(std::string_view text) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<unsigned> readNumberFile(const fs::path& path) {
    std::ifstream in(path);
    std::string text;
    if (!(in >> text)) return std::nullopt;
    return parseNumber(text);
}

std::string sgNodeOf(const fs::path& deviceDir) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceDir / "scsi_generic", error)) {
        std::string name = entry.path().filename().string();
        if (name.starts_with("sg")) return name;
    }
    return {};
}

}  // namespace

std::vector<SgDevice> scanSgDevices(const std::string& sysfsRoot, unsigned hostNumber) {
    std::vector<SgDevice> devices;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "bus/scsi/devices", error)) {
        auto address = parseKernelScsiAddress(entry.path().filename().string());
        if (!address || address->host != hostNumber || address->channel != 0) continue;
        if (address->target > 255 || address->lun > 255) continue;
        auto type = readNumberFile(entry.path() / "type");
        if (!type) continue;
        SgDevice device;
        device.target = static_cast<uint8_t>(address->target);
        device.lun = static_cast<uint8_t>(address->lun);
        device.deviceType = static_cast<uint8_t>(*type & 0x1F);
        device.sgName = sgNodeOf(entry.path());
        devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(), [](const SgDevice& a, const SgDevice& b) {
        return std::tie(a.target, a.lun) < std::tie(b.target, b.lun);
    });
    return devices;
}

std::vector<SgHost> scanSgHosts(const std::string& sysfsRoot) {
    std::vector<SgHost> hosts;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class/scsi_host", error)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("host")) continue;
        if (auto number = parseNumber(std::string_view(name).substr(4)))
            hosts.push_back(SgHost{*number, {}});
    }
    std::sort(hosts.begin(), hosts.end(), [](const SgHost& a, const SgHost& b) { return a.number < b.number; });
    for (auto& host : hosts) host.devices = scanSgDevices(sysfsRoot, host.number);
    return hosts;
}

}  // namespace aspi
