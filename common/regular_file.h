// SPDX-License-Identifier: MIT
// Opening and reading a file that a user or a script names: never wait at the open (a FIFO
// without a writer would block for ever), refuse what is not a regular file (a directory,
// /dev/zero, a terminal), and never read more than a stated limit, so a wrong path costs a
// clear message rather than a hang or all of memory.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "outside_text.h"

namespace karvel {

enum class FileFault : uint8_t {
    none,
    missing,     // ENOENT at the open: callers often have a default for it
    cannotOpen,  // any other error of open or fstat
    directory,
    notRegular,
    tooLarge,
    cannotRead,
};

struct OpenedFile {
    int fd = -1;  // the caller closes it; -1 when fault is not none
    FileFault fault = FileFault::none;
    int error = 0;       // errno for missing, cannotOpen and cannotRead
    uint64_t size = 0;   // st_size at the open
    std::string reason;  // "is a directory", "cannot open: No such file or directory", ...
    std::string message; // the escaped path, ": ", the reason

    bool ok() const { return fault == FileFault::none; }
};

struct FileContents {
    std::string bytes;
    FileFault fault = FileFault::none;
    int error = 0;
    std::string reason;
    std::string message;

    bool ok() const { return fault == FileFault::none; }
};

namespace regular_file_detail {

inline std::string tooLargeReason(uint64_t size, uint64_t limit) {
    return "is " + std::to_string(size) + " bytes, more than the limit of " + std::to_string(limit) + " bytes";
}

template <typename Result>
Result failure(const std::string& path, FileFault fault, int error, std::string reason) {
    Result result;
    result.fault = fault;
    result.error = error;
    result.message = escapeText(path) + ": " + reason;
    result.reason = std::move(reason);
    return result;
}

}  // namespace regular_file_detail

// Opens path read-only without blocking and checks that it is a regular file of at most
// limit bytes. The descriptor stays non-blocking, which changes nothing for a regular file.
inline OpenedFile openRegularFile(const std::string& path, uint64_t limit) {
    using regular_file_detail::failure;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return failure<OpenedFile>(path, error == ENOENT ? FileFault::missing : FileFault::cannotOpen, error,
                                   std::string("cannot open: ") + std::strerror(error));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failure<OpenedFile>(path, FileFault::cannotOpen, error, std::string("cannot open: ") + std::strerror(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? failure<OpenedFile>(path, FileFault::directory, 0, "is a directory")
                                     : failure<OpenedFile>(path, FileFault::notRegular, 0, "is not a regular file");
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > limit) {
        ::close(fd);
        return failure<OpenedFile>(path, FileFault::tooLarge, 0, regular_file_detail::tooLargeReason(size, limit));
    }
    OpenedFile opened;
    opened.fd = fd;
    opened.size = size;
    return opened;
}

// Reads the whole of an opened file, at most limit + 1 bytes: one byte past the limit shows
// that the file grew after the open, and it is refused like a file that was too large.
// path is for messages only. Does not close fd.
inline FileContents readOpenedFile(int fd, const std::string& path, uint64_t limit, uint64_t sizeHint = 0) {
    using regular_file_detail::failure;
    FileContents contents;
    std::string& bytes = contents.bytes;
    bytes.resize(static_cast<std::size_t>(std::min<uint64_t>(sizeHint, limit)) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit) break;
            const uint64_t grown = std::min<uint64_t>(uint64_t{filled} * 2 + 4096, limit + 1);
            bytes.resize(static_cast<std::size_t>(grown));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            return failure<FileContents>(path, FileFault::cannotRead, error, std::string("cannot read: ") + std::strerror(error));
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > limit)
        return failure<FileContents>(path, FileFault::tooLarge, 0,
                                     "grew past the limit of " + std::to_string(limit) + " bytes while it was read");
    bytes.resize(filled);
    return contents;
}

// Opens and reads path whole, as openRegularFile and readOpenedFile do.
inline FileContents readRegularFile(const std::string& path, uint64_t limit) {
    OpenedFile opened = openRegularFile(path, limit);
    if (!opened.ok()) {
        FileContents contents;
        contents.fault = opened.fault;
        contents.error = opened.error;
        contents.reason = std::move(opened.reason);
        contents.message = std::move(opened.message);
        return contents;
    }
    FileContents contents = readOpenedFile(opened.fd, path, limit, opened.size);
    ::close(opened.fd);
    return contents;
}

}  // namespace karvel
