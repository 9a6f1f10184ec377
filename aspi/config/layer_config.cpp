// SPDX-License-Identifier: MIT
#include "aspi_config/layer_config.h"

#include <cstdlib>
#include <sstream>

namespace aspi {

std::string configPath() {
    if (configPathIsExplicit()) return std::getenv("ASPI32_CONFIG");
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/wnaspi32.conf";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/wnaspi32.conf";
}

bool configPathIsExplicit() {
    const char* explicitPath = std::getenv("ASPI32_CONFIG");
    return explicitPath && *explicitPath;
}

std::vector<TransportLine> parseConfig(const std::string& text, const std::string& file) {
    std::vector<TransportLine> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream words(raw);
        TransportLine line{file, number, {}, {}};
        if (!(words >> line.transport)) continue;
        for (std::string word; words >> word;) line.args.push_back(word);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<TransportLine> defaultConfig() {
    return {TransportLine{"(built-in default)", 0, "sg", {}}};
}

}  // namespace aspi
