// SPDX-License-Identifier: MIT
// libFuzzer target for the INI profile. The input's first line names a section, a key and a
// value, and a second section and key, separated by '|'; the rest is the profile's text. The
// text is read (the saved target included) and the value written into it: what was written
// must read back, and no other key may change.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"

using namespace karvel::model;

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool trimmed(std::string_view s) { return !s.empty() && !isBlank(s.front()) && !isBlank(s.back()); }

bool noLineEnd(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// A name a program may write: one line, no blanks around it, nothing that ends a section
// header or starts a comment, header or value.
bool writableSection(std::string_view s) { return trimmed(s) && noLineEnd(s) && s.find(']') == std::string_view::npos; }

bool writableKey(std::string_view k) {
    return trimmed(k) && noLineEnd(k) && k.find('=') == std::string_view::npos && k.front() != ';' && k.front() != '[';
}

// A value that reads back as written: one line, no blanks around it, not in a pair of quotes.
bool writableValue(std::string_view v) {
    if (!noLineEnd(v) || (!v.empty() && !trimmed(v))) return false;
    return !(v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    if (newline == std::string_view::npos) return 0;
    std::vector<std::string_view> names;
    for (std::string_view head = input.substr(0, newline);;) {
        const size_t bar = head.find('|');
        names.push_back(head.substr(0, bar));
        if (bar == std::string_view::npos) break;
        head.remove_prefix(bar + 1);
    }
    if (names.size() != 5) return 0;
    const std::string_view section = names[0], key = names[1], value = names[2], otherSection = names[3],
                           otherKey = names[4];
    const std::string_view text = input.substr(newline + 1);

    (void)savedTargetIn(text);
    const std::optional<std::string> before = iniValue(text, otherSection, otherKey);
    if (before) (void)profileInteger(*before);
    const std::string written = iniWithValue(text, section, key, value);

    if (writableSection(section) && writableKey(key) && writableValue(value) &&
        iniValue(written, section, key) != std::string(value))
        std::abort();
    if (!(sameName(section, otherSection) && sameName(key, otherKey)) && writableSection(section) &&
        writableKey(key) && iniValue(written, otherSection, otherKey) != before)
        std::abort();
    return 0;
}
