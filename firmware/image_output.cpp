// SPDX-License-Identifier: MIT
#include "image_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace karvel::firmware {

namespace {

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    // open(O_EXCL) rather than mkstemp: the result gets the umask's permissions like any file.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return std::strerror(errno);
    }
    if (fd < 0) return std::strerror(EEXIST);

    // No fsync: the rename keeps readers from ever seeing a part-written image, and a check
    // that a crash interrupted is simply run again.
    const bool written = WriteAll(fd, bytes);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(temporary.c_str());
        return std::strerror(error);
    }
    return {};
}

}  // namespace karvel::firmware
