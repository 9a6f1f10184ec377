// SPDX-License-Identifier: MIT
// The chosen firmware file, read as stored (no translation of line ends), through a buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace karvel::firmware {

// Room a line buffer needs beyond its limit: the cut character and the zero byte.
inline constexpr std::size_t kLineBufferSlack = 2;
// The line buffer of the text load and its limit, as New Firmware has always used them.
inline constexpr uint16_t kLineLimit = 250;
inline constexpr std::size_t kLineBufferSize = kLineLimit + kLineBufferSlack;

// The largest firmware file opened: an image is 131072 bytes, its S-record or Intel hex text
// about 3.5 times that.
inline constexpr uint64_t kFirmwareFileLimit = 16u << 20;

class CFirmwareFile {
public:
    CFirmwareFile() = default;
    ~CFirmwareFile();
    CFirmwareFile(const CFirmwareFile&) = delete;
    CFirmwareFile& operator=(const CFirmwareFile&) = delete;

    // Opens path for reading without waiting (a FIFO does not block); returns false on failure,
    // with the reason in SystemReason(): the system's text, "is a directory", "is not a regular
    // file", or that it is larger than kFirmwareFileLimit.
    bool Open(const std::string& path);

    // Closes the file (also done by the destructor).
    void Close();

    // Reads the next line into buffer, ended by a zero byte, and returns its length; 0 when
    // the line is empty or nothing more is to be read (AtEnd() tells the end of the file
    // apart, Failed() a read error).
    // CR LF and LF end a line, the CR is dropped, and a last line without a line end is kept
    // whole. A line longer than limit is cut: the first `limit` characters come back, the next
    // two are lost, and the next call goes on inside the same line. limit is lowered to what
    // buffer can hold (limit + 2 bytes).
    uint16_t ReadLine(std::span<char> buffer, uint16_t limit);

    // Reads up to into.size() bytes and returns how many it read; fewer only at the end of the
    // file or on a read error (see Failed()).
    std::size_t Read(std::span<uint8_t> into);

    // True when the last ReadLine found nothing more to read: not even a line end.
    bool AtEnd() const { return m_atEnd; }
    // True once opening or reading has failed.
    bool Failed() const { return m_error != 0; }
    // The system's text for the failure, empty when there was none.
    std::string SystemReason() const;

private:
    // Fills the buffer with the next bytes; false at the end of the file or on a read error.
    bool Refill();

    int m_fd = -1;
    int m_error = 0;
    std::string m_reason;     // the reason when it is not the system's text for m_error
    uint64_t m_consumed = 0;  // bytes read since the open
    bool m_atEnd = false;
    std::array<uint8_t, 64 * 1024> m_buffer{};
    std::size_t m_position = 0;
    std::size_t m_filled = 0;
};

}  // namespace karvel::firmware
