// SPDX-License-Identifier: MIT
#include "private_layer_config.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <karvel/wnaspi32.h>

namespace karvel::ctl {

namespace {

// Returns the directory for the file: $TMPDIR when set, else /tmp.
std::string temporaryDirectory() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

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

bool use_private_layer_config(const std::string& line, std::string& why) {
    std::string pattern = temporaryDirectory() + "/karvelctl-XXXXXX.conf";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    // mkstemps creates the file with mode 0600 and O_EXCL: nobody else reads or swaps it.
    const int fd = ::mkstemps(path.data(), static_cast<int>(std::strlen(".conf")));
    if (fd < 0) {
        why = "cannot create a layer configuration in " + temporaryDirectory() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = writeAll(fd, line + "\n");
    const int writeError = errno;
    ::close(fd);
    if (!written) {
        ::unlink(path.data());
        why = std::string("cannot write a layer configuration: ") + std::strerror(writeError);
        return false;
    }
    ::setenv("ASPI32_CONFIG", path.data(), 1);
    // The layer reads its configuration at its first call and never again; after this call the
    // file has served its purpose.
    GetASPI32SupportInfo();
    ::unlink(path.data());
    return true;
}

}  // namespace karvel::ctl
