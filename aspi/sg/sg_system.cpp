// SPDX-License-Identifier: MIT
#include "sg_system.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace aspi {

std::shared_ptr<const SgSystem> realSgSystem() {
    auto system = std::make_shared<SgSystem>();
    system->open = [](const std::string& path, int flags) { return ::open(path.c_str(), flags | O_CLOEXEC); };
    system->sgIo = [](int fd, sg_io_hdr* header) { return ::ioctl(fd, SG_IO, header); };
    system->close = [](int fd) { return ::close(fd); };
    system->access = [](const std::string& path, int mode) { return ::access(path.c_str(), mode); };
    return system;
}

}  // namespace aspi
