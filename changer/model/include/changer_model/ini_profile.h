// SPDX-License-Identifier: MIT
// A Windows-compatible INI file, as the platform's private profile functions read and write
// it: section and key names compare without case, the first section and the first key of a
// name count, blanks around names and values and one pair of quotes around a value are
// dropped, lines end in CR LF or LF. A file is read only when it is a regular file of at most
// 1 MiB, so that a FIFO or a device cannot hang or flood the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace karvel::model {

// The largest profile read; a real one is a few hundred bytes.
inline constexpr size_t kProfileSizeLimit = 1024 * 1024;

// What reading a profile file gave: its bytes, or why it was not read. A missing file reads
// as empty without an error.
struct ProfileFile {
    std::string text;
    std::string error;  // names the path; empty when read or absent
};

// Returns the bytes of the file at path (opened without blocking, refused unless a regular
// file of at most kProfileSizeLimit bytes: "PATH: is a directory", "PATH: is not a regular
// file", ...).
ProfileFile readProfileFile(const std::string& path);

// Writes "PROGRAM: profile MESSAGE" on stderr for a profile that is there but cannot be used,
// once per message for the life of the process (a missing profile is the usual case and
// gives no message).
void reportProfileError(std::string_view program, const std::string& message);

// Returns the value of key in section of the INI text, or nothing when absent.
std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key);

// Returns text with key in section set to value, keeping every other section, key and
// comment: a key is replaced in place (its name's spelling kept), a missing key goes after the
// section's last non-blank line, a missing section at the end after a blank line. Every line
// then ends in CR LF, or in LF when text is not empty and holds no CR LF.
std::string iniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

// Returns the integer a profile value reads as (blanks, optional sign, leading digits,
// wrapping past 32 bits, as the platform's conversion does), or nothing when it does not
// start with a number.
std::optional<int32_t> profileInteger(std::string_view value);

// One profile file. Reads go to the file each time; writes replace it atomically (through a
// new file beside it, renamed over it; a link is followed to the file it names).
class IniProfile {
public:
    // A program name in reportAs makes every refused read reported by reportProfileError.
    explicit IniProfile(std::string path, std::string reportAs = {})
        : m_path(std::move(path)), m_reportAs(std::move(reportAs)) {}

    // Returns key's value in section, or nothing when absent or when the file cannot be read
    // (its reason then in lastError()).
    std::optional<std::string> getString(std::string_view section, std::string_view key) const;
    // Returns key's value in section as profileInteger reads it; fallback when absent or not a number.
    int32_t getInt(std::string_view section, std::string_view key, int32_t fallback) const;

    // Sets key in section to value and replaces the file, creating it and its directory when
    // missing. Returns false, the reason in lastError(), when it cannot be read or written: a
    // file that cannot be read is never overwritten.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int32_t value);

    // Returns the file's path.
    const std::string& path() const { return m_path; }
    // Returns why the last read or write failed, naming the path; empty after success.
    const std::string& lastError() const { return m_error; }

private:
    // Returns the file's bytes (empty when missing or refused), the reason kept and reported.
    std::string read() const;

    std::string m_path;
    std::string m_reportAs;
    mutable std::string m_error;
};

}  // namespace karvel::model
