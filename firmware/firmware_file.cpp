// SPDX-License-Identifier: MIT
#include "firmware/firmware_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "regular_file.h"

namespace karvel::firmware {

CFirmwareFile::~CFirmwareFile() { Close(); }

bool CFirmwareFile::Open(const std::string& path) {
    Close();
    error_ = 0;
    atEnd_ = false;
    position_ = filled_ = 0;
    reason_.clear();
    consumed_ = 0;
    karvel::OpenedFile opened = karvel::openRegularFile(path, kFirmwareFileLimit);
    if (!opened.ok()) {
        error_ = opened.error != 0 ? opened.error : EINVAL;
        reason_ = opened.reason.starts_with("cannot open: ") ? std::string() : opened.reason;
        return false;
    }
    fd_ = opened.fd;
    return true;
}

void CFirmwareFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string CFirmwareFile::SystemReason() const {
    if (error_ == 0) return {};
    return reason_.empty() ? std::string(std::strerror(error_)) : reason_;
}

bool CFirmwareFile::Refill() {
    if (fd_ < 0 || error_ != 0) return false;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            consumed_ += static_cast<uint64_t>(got);
            if (consumed_ > kFirmwareFileLimit) {  // grew past the limit after the open
                error_ = EFBIG;
                reason_ = "grew past the limit of " + std::to_string(kFirmwareFileLimit) + " bytes while it was read";
                return false;
            }
            position_ = 0;
            filled_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) return false;
        if (errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
}

uint16_t CFirmwareFile::ReadLine(std::span<char> buffer, uint16_t limit) {
    if (buffer.size() < kLineBufferSlack) {
        if (!buffer.empty()) buffer[0] = '\0';
        return 0;
    }
    if (limit > buffer.size() - kLineBufferSlack)
        limit = static_cast<uint16_t>(buffer.size() - kLineBufferSlack);

    // Up to limit + 2 bytes are taken for one call, as the line buffer has always been filled.
    const std::size_t capacity = std::size_t{limit} + kLineBufferSlack;
    std::size_t length = 0;
    bool endedByLf = false;
    while (length < capacity) {
        if (position_ == filled_ && !Refill()) break;
        const uint8_t* start = buffer_.data() + position_;
        const std::size_t available = std::min(filled_ - position_, capacity - length);
        const auto* lineEnd = static_cast<const uint8_t*>(std::memchr(start, '\n', available));
        const std::size_t take = lineEnd ? static_cast<std::size_t>(lineEnd - start) : available;
        std::memcpy(buffer.data() + length, start, take);
        length += take;
        position_ += take;
        if (lineEnd) {
            ++position_;  // the LF is consumed with its line
            endedByLf = true;
            break;
        }
    }
    atEnd_ = length == 0 && !endedByLf;
    if (length > 0 && buffer[length - 1] == '\r') --length;
    if (length > limit) length = limit;  // a cut line: the characters past the limit are lost
    buffer[length] = '\0';
    return static_cast<uint16_t>(length);
}

std::size_t CFirmwareFile::Read(std::span<uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        if (position_ == filled_ && !Refill()) break;
        const std::size_t take = std::min(into.size() - done, filled_ - position_);
        std::memcpy(into.data() + done, buffer_.data() + position_, take);
        position_ += take;
        done += take;
    }
    return done;
}

}  // namespace karvel::firmware
