// SPDX-License-Identifier: MIT
#include "changer_model/ini_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>

#include "regular_file.h"

namespace karvel::model {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// Returns the lines of text without their ends; the end of the last line is no line of its own.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// Returns the section a header line names, or nothing when the line is not a header.
std::optional<std::string_view> sectionOf(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const size_t close = t.find(']');
    return trimmed(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

// Returns the key of a "key=value" line, or nothing for comments, headers and other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trimmed(t.substr(0, eq));
}

// Where a section's lines are: its header's index and the index after its last line.
struct SectionSpan {
    size_t header = 0;
    size_t end = 0;
};

// Returns the first section of that name in lines, or nothing.
std::optional<SectionSpan> findSection(const std::vector<std::string_view>& lines, std::string_view section) {
    std::optional<SectionSpan> span;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::optional<std::string_view> name = sectionOf(lines[i]);
        if (!name)
            continue;
        if (span) {
            span->end = i;
            return span;
        }
        if (sameName(*name, section))
            span = SectionSpan{i, lines.size()};
    }
    return span;
}

// Returns the index of the first line of key in span, or nothing.
std::optional<size_t> findKey(const std::vector<std::string_view>& lines, const SectionSpan& span,
                              std::string_view key) {
    for (size_t i = span.header + 1; i < span.end; ++i)
        if (const std::optional<std::string_view> k = keyOf(lines[i]); k && sameName(*k, key))
            return i;
    return std::nullopt;
}

std::string systemError(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// Returns the file a chain of links at path ends in (path itself when it is no link).
std::string followLinks(const std::string& path) {
    std::filesystem::path at = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error)))
            return at.string();
        const std::filesystem::path target = std::filesystem::read_symlink(at, error);
        if (error)
            return at.string();
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return at.string();
}

// Writes text to a new file beside path and renames it over path; returns the error, if any.
std::string replaceFile(const std::string& path, std::string_view text) {
    const std::string target = followLinks(path);
    std::error_code ignored;
    const std::filesystem::path directory = std::filesystem::path(target).parent_path();
    if (!directory.empty())
        std::filesystem::create_directories(directory, ignored);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return systemError(target, errno);  // a profile made read-only stays as it is
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemError(temporary, errno);
    }
    if (fd < 0)
        return systemError(temporary, EEXIST);
    std::string error;
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
        error = systemError(temporary, errno);
    for (size_t done = 0; error.empty() && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error = systemError(temporary, n < 0 ? errno : EIO);
        else
            done += static_cast<size_t>(n);
    }
    if (error.empty() && ::fsync(fd) != 0)
        error = systemError(temporary, errno);
    if (::close(fd) != 0 && error.empty())
        error = systemError(temporary, errno);
    if (error.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = systemError(target, errno);
    if (!error.empty())
        ::unlink(temporary.c_str());
    return error;
}

}  // namespace

ProfileFile readProfileFile(const std::string& path) {
    FileContents contents = readRegularFile(path, kProfileSizeLimit);
    ProfileFile file;
    if (contents.ok())
        file.text = std::move(contents.bytes);
    else if (contents.fault != FileFault::missing)
        file.error = std::move(contents.message);
    return file;
}

void reportProfileError(std::string_view program, const std::string& message) {
    static std::mutex lock;
    static std::set<std::string> reported;
    const std::lock_guard<std::mutex> guard(lock);
    if (reported.insert(message).second)
        std::fprintf(stderr, "%.*s: profile %s\n", static_cast<int>(program.size()), program.data(), message.c_str());
}

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key) {
    const std::vector<std::string_view> lines = linesOf(text);
    const std::optional<SectionSpan> span = findSection(lines, section);
    if (!span)
        return std::nullopt;
    const std::optional<size_t> at = findKey(lines, *span, key);
    if (!at)
        return std::nullopt;
    const std::string_view t = trimmed(lines[*at]);
    std::string_view value = trimmed(t.substr(t.find('=') + 1));
    if (value.size() >= 2 &&
        ((value.front() == '"' && value.back() == '"') || (value.front() == '\'' && value.back() == '\'')))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string iniWithValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string_view eol = !text.empty() && text.find("\r\n") == std::string_view::npos ? "\n" : "\r\n";
    const std::vector<std::string_view> old = linesOf(text);
    std::vector<std::string> lines(old.begin(), old.end());
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::optional<SectionSpan> span = findSection(old, section);
    if (!span) {
        if (!lines.empty() && !trimmed(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    } else if (const std::optional<size_t> at = findKey(old, *span, key)) {
        lines[*at] = std::string(*keyOf(old[*at])) + "=" + std::string(value);
    } else {
        size_t after = span->end;
        while (after > span->header + 1 && trimmed(lines[after - 1]).empty())
            --after;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), entry);
    }
    std::string result;
    for (const std::string& line : lines)
        result.append(line).append(eol);
    return result;
}

std::optional<int32_t> profileInteger(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    if (i >= value.size() || value[i] < '0' || value[i] > '9')
        return std::nullopt;
    uint32_t number = 0;  // wraps past 32 bits, as the platform's conversion does
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = number * 10u + static_cast<uint32_t>(value[i] - '0');
    if (negative)
        number = 0u - number;
    return static_cast<int32_t>(number);
}

std::string IniProfile::read() const {
    ProfileFile file = readProfileFile(m_path);
    m_error = file.error;
    if (!m_error.empty() && !m_reportAs.empty())
        reportProfileError(m_reportAs, m_error);
    return std::move(file.text);
}

std::optional<std::string> IniProfile::getString(std::string_view section, std::string_view key) const {
    return iniValue(read(), section, key);
}

int32_t IniProfile::getInt(std::string_view section, std::string_view key, int32_t fallback) const {
    const std::optional<std::string> value = getString(section, key);
    if (!value)
        return fallback;
    return profileInteger(*value).value_or(fallback);
}

bool IniProfile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string text = read();
    if (!m_error.empty())
        return false;
    m_error = replaceFile(m_path, iniWithValue(text, section, key, value));
    return m_error.empty();
}

bool IniProfile::writeInt(std::string_view section, std::string_view key, int32_t value) {
    return writeString(section, key, std::to_string(value));
}

}  // namespace karvel::model
