// SPDX-License-Identifier: MIT
#include "changer_model/saved_target.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "changer_model/ini_profile.h"

namespace karvel::model {

namespace {

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

}  // namespace

std::string profilePath(std::string_view name) {
    std::string dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        dir = config;
    else
        dir = homeDirectory() + "/.config";
    return dir + "/" + std::string(name) + ".INI";
}

TargetAddress savedTargetIn(std::string_view text) {
    const auto field = [&](std::string_view key) {
        const std::optional<std::string> value = iniValue(text, kSavedTargetSection, key);
        const int32_t number = value ? profileInteger(*value).value_or(0) : 0;
        return static_cast<uint8_t>(number);
    };
    return TargetAddress{field(kHostKey), field(kScsiIdKey), field(kLunKey)};
}

TargetAddress readSavedTarget(const std::string& path, std::string& error) {
    const ProfileFile file = readProfileFile(path);
    error = file.error;
    return savedTargetIn(file.text);
}

}  // namespace karvel::model
