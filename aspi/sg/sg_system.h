// SPDX-License-Identifier: MIT
// What the SG_IO transport needs from the system, gathered so that tests can hand it a fake
// sysfs tree and a scripted ioctl: CI machines have no SCSI hardware.
#pragma once

#include <functional>
#include <memory>
#include <string>

struct sg_io_hdr;

namespace aspi {

struct SgSystem {
    std::string sysfsRoot = "/sys";  // where class/scsi_host and bus/scsi/devices live
    std::string devRoot = "/dev";    // where the sgN nodes live
    // Each returns what the system call returns and sets errno on failure.
    std::function<int(const std::string& path, int flags)> open;
    std::function<int(int fd, sg_io_hdr* header)> sgIo;  // ioctl(fd, SG_IO, header)
    std::function<int(int fd)> close;
    std::function<int(const std::string& path, int mode)> access;
};

// Returns the real system: /sys, /dev and the kernel's open, ioctl, close and access.
std::shared_ptr<const SgSystem> realSgSystem();

}  // namespace aspi
