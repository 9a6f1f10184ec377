// SPDX-License-Identifier: MIT
#include "private_layer_config.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <karvel/wnaspi32.h>

namespace karvel::ctl {

namespace {

// Writes all of text to fd; returns false with errno set when it cannot.
bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

int sealedLayerConfig(const std::string& text, std::string& why) {
    const int fd = ::memfd_create("karvelctl-layer.conf", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) {
        why = std::string("cannot create a layer configuration: ") + std::strerror(errno);
        return -1;
    }
    // /proc/PID/fd already keeps other users out; the mode says so too, as the file held a
    // CHAP secret when it was a file in $TMPDIR.
    if (::fchmod(fd, 0600) != 0 || !writeAll(fd, text)) {
        why = std::string("cannot write a layer configuration: ") + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    if (::fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL) != 0) {
        why = std::string("cannot seal a layer configuration: ") + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool usePrivateLayerConfig(const std::string& line, std::string& why) {
    const int fd = sealedLayerConfig(line + "\n", why);
    if (fd < 0)
        return false;
    // The layer opens the path anew: through /proc it reaches this very memory file, which no
    // other process can reach by name or change.
    ::setenv("ASPI32_CONFIG", ("/proc/self/fd/" + std::to_string(fd)).c_str(), 1);
    // The layer reads its configuration at its first call and never again; after this call the
    // file has served its purpose.
    GetASPI32SupportInfo();
    ::close(fd);
    return true;
}

}  // namespace karvel::ctl
