// SPDX-License-Identifier: MIT
#include "changer_address.h"

#include <sys/stat.h>

#include <charconv>
#include <fstream>
#include <vector>

#include "iscsi_changer_address.h"
#include "own_layer_address.h"

namespace karvel::ctl {

namespace {

struct AddressField {
    const char* name;
    unsigned maximum;
};

// The request block carries each part in 8 bits; target ids and LUNs beyond what the
// discovery scan covers are still reachable by name (iSCSI LUNs, wide buses).
constexpr AddressField kFields[] = {
    {"host adapter", 255},
    {"target id", 255},
    {"LUN", 255},
};

// Returns text split at every ':'.
std::vector<std::string> splitAtColons(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// Returns the decimal value of text when it is digits only and at most maximum.
std::optional<unsigned> decimalField(const std::string& text, unsigned maximum) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<TargetAddress> parseHostTargetLun(const std::string& text, std::string& why) {
    const std::vector<std::string> parts = splitAtColons(text);
    if (parts.size() != 3) {
        why = "'" + text + "' is not H:T:L (host adapter, target id and LUN, e.g. 0:4:0)";
        return std::nullopt;
    }
    unsigned values[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        const std::optional<unsigned> value = decimalField(parts[i], kFields[i].maximum);
        if (!value) {
            why = "'" + text + "': " + kFields[i].name + " '" + parts[i] + "' is not a number from 0 to " +
                  std::to_string(kFields[i].maximum);
            return std::nullopt;
        }
        values[i] = *value;
    }
    return TargetAddress{static_cast<uint8_t>(values[0]), static_cast<uint8_t>(values[1]),
                         static_cast<uint8_t>(values[2])};
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// An address file holds no more than a line or two; more is not an address file.
constexpr std::streamsize kAddressFileLimit = 4096;

std::string trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    const size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// Returns the address in the file at path: its first line that holds more than a comment
// ('#' to the end of the line) or blanks, or nothing with why naming the file and line.
std::optional<std::string> readAddressFile(const std::string& path, unsigned& lineNumber, std::string& why) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        why = "'" + path + "': cannot be read";
        return std::nullopt;
    }
    std::string content(static_cast<size_t>(kAddressFileLimit) + 1, '\0');
    file.read(content.data(), kAddressFileLimit + 1);
    content.resize(static_cast<size_t>(file.gcount()));
    if (content.size() > static_cast<size_t>(kAddressFileLimit)) {
        why = "'" + path + "': more than " + std::to_string(kAddressFileLimit) + " bytes, not an address file";
        return std::nullopt;
    }
    lineNumber = 0;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        ++lineNumber;
        std::string line = content.substr(start, end - start);
        if (const size_t hash = line.find('#'); hash != std::string::npos)
            line.resize(hash);
        line = trimmed(line);
        if (!line.empty())
            return line;
        start = end + 1;
    }
    why = "'" + path + "': no address in it (H:T:L, /dev/sgN or iscsi://HOST[:PORT]/IQN/LUN)";
    return std::nullopt;
}

std::optional<TargetAddress> resolveAddressText(const std::string& text, std::string& why) {
    if (is_iscsi_address(text))
        return use_iscsi_address(text, why);
    if (text.starts_with("/dev/"))
        return use_sg_device_address(text, why);
    return parseHostTargetLun(text, why);
}

}  // namespace

std::optional<TargetAddress> resolve_changer_address(const std::string& text, std::string& why) {
    // A regular file names the changer by its first line (for clients that insist on a device
    // file that exists); a file named like an address is not looked for.
    if (!is_iscsi_address(text) && !text.starts_with("/dev/") && splitAtColons(text).size() != 3 &&
        isRegularFile(text)) {
        unsigned lineNumber = 0;
        const std::optional<std::string> inner = readAddressFile(text, lineNumber, why);
        if (!inner)
            return std::nullopt;
        if (isRegularFile(*inner) && !inner->starts_with("/dev/")) {
            why = "'" + text + "': line " + std::to_string(lineNumber) + ": '" + *inner +
                  "' is another file; an address file holds H:T:L, /dev/sgN or iscsi://HOST[:PORT]/IQN/LUN";
            return std::nullopt;
        }
        std::optional<TargetAddress> target = resolveAddressText(*inner, why);
        if (!target)
            why = "'" + text + "': line " + std::to_string(lineNumber) + ": " + why;
        return target;
    }
    return resolveAddressText(text, why);
}

std::string format_target_address(const TargetAddress& target) {
    return std::to_string(target.hostAdapter) + ":" + std::to_string(target.targetId) + ":" +
           std::to_string(target.lun);
}

}  // namespace karvel::ctl
