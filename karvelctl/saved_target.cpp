// SPDX-License-Identifier: MIT
#include "saved_target.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "regular_file.h"

namespace karvel::ctl {

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
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

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

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

}  // namespace

std::string karvel_profile_path() {
    std::string dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        dir = config;
    else
        dir = homeDirectory() + "/.config";
    return dir + "/karvel.INI";
}

std::optional<std::string> profile_value(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false;
    bool seenSection = false;
    for (std::string_view line : linesOf(text)) {
        if (const std::optional<std::string_view> name = sectionOf(line)) {
            if (seenSection)
                return std::nullopt;  // only the first section of that name counts
            inSection = sameName(*name, section);
            seenSection = inSection;
            continue;
        }
        if (!inSection)
            continue;
        const std::string_view t = trimmed(line);
        if (t.empty() || t.front() == ';')
            continue;
        const size_t eq = t.find('=');
        if (eq == std::string_view::npos || !sameName(trimmed(t.substr(0, eq)), key))
            continue;
        std::string_view value = trimmed(t.substr(eq + 1));
        if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                                  (value.front() == '\'' && value.back() == '\'')))
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

std::optional<int32_t> profile_integer(std::string_view value) {
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

TargetAddress saved_target_in(std::string_view text) {
    const auto field = [&](std::string_view key) {
        const std::optional<std::string> value = profile_value(text, "JukeBox Default", key);
        const int32_t number = value ? profile_integer(*value).value_or(0) : 0;
        return static_cast<uint8_t>(number);
    };
    return TargetAddress{field("Host"), field("ScsiId"), field("Lun")};
}

TargetAddress read_saved_target() {
    const karvel::FileContents profile = karvel::readRegularFile(karvel_profile_path(), kProfileLimit);
    if (profile.ok())
        return saved_target_in(profile.bytes);
    // Without a usable profile the saved target is 0:0:0, as with none; only a missing one is
    // the usual case, anything else is worth a word.
    if (profile.fault != karvel::FileFault::missing)
        std::fprintf(stderr, "karvelctl: profile %s\n", profile.message.c_str());
    return TargetAddress{};
}

}  // namespace karvel::ctl
