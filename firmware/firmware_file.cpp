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
    m_error = 0;
    m_atEnd = false;
    m_position = m_filled = 0;
    m_reason.clear();
    m_consumed = 0;
    karvel::OpenedFile opened = karvel::openRegularFile(path, kFirmwareFileLimit);
    if (!opened.ok()) {
        m_error = opened.error != 0 ? opened.error : EINVAL;
        m_reason = opened.reason.starts_with("cannot open: ") ? std::string() : opened.reason;
        return false;
    }
    m_fd = opened.fd;
    return true;
}

void CFirmwareFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

std::string CFirmwareFile::SystemReason() const {
    if (m_error == 0) return {};
    return m_reason.empty() ? std::string(std::strerror(m_error)) : m_reason;
}

bool CFirmwareFile::Refill() {
    if (m_fd < 0 || m_error != 0) return false;
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (got > 0) {
            m_consumed += static_cast<uint64_t>(got);
            if (m_consumed > kFirmwareFileLimit) {  // grew past the limit after the open
                m_error = EFBIG;
                m_reason = "grew past the limit of " + std::to_string(kFirmwareFileLimit) + " bytes while it was read";
                return false;
            }
            m_position = 0;
            m_filled = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) return false;
        if (errno != EINTR) {
            m_error = errno;
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
        if (m_position == m_filled && !Refill()) break;
        const uint8_t* start = m_buffer.data() + m_position;
        const std::size_t available = std::min(m_filled - m_position, capacity - length);
        const auto* lineEnd = static_cast<const uint8_t*>(std::memchr(start, '\n', available));
        const std::size_t take = lineEnd ? static_cast<std::size_t>(lineEnd - start) : available;
        std::memcpy(buffer.data() + length, start, take);
        length += take;
        m_position += take;
        if (lineEnd) {
            ++m_position;  // the LF is consumed with its line
            endedByLf = true;
            break;
        }
    }
    m_atEnd = length == 0 && !endedByLf;
    if (length > 0 && buffer[length - 1] == '\r') --length;
    if (length > limit) length = limit;  // a cut line: the characters past the limit are lost
    buffer[length] = '\0';
    return static_cast<uint16_t>(length);
}

std::size_t CFirmwareFile::Read(std::span<uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        if (m_position == m_filled && !Refill()) break;
        const std::size_t take = std::min(into.size() - done, m_filled - m_position);
        std::memcpy(into.data() + done, m_buffer.data() + m_position, take);
        m_position += take;
        done += take;
    }
    return done;
}

}  // namespace karvel::firmware
