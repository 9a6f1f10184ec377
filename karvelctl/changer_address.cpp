// SPDX-License-Identifier: MIT
#include "changer_address.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "changer_model/target_address_text.h"
#include "iscsi_changer_address.h"
#include "own_layer_address.h"

namespace karvel::ctl {

namespace {

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
    if (isIscsiAddress(text))
        return useIscsiAddress(text, why);
    if (text.starts_with("/dev/"))
        return useSgDeviceAddress(text, why);
    return model::parseTargetAddress(text, why);
}

}  // namespace

std::optional<TargetAddress> resolveChangerAddress(const std::string& text, std::string& why) {
    // A regular file names the changer by its first line (for clients that insist on a device
    // file that exists); a file named like an address is not looked for.
    if (!isIscsiAddress(text) && !text.starts_with("/dev/") && std::count(text.begin(), text.end(), ':') != 2 &&
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

std::string formatTargetAddress(const TargetAddress& target) {
    return model::formatTargetAddress(target);
}

}  // namespace karvel::ctl
