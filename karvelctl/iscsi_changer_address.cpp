// SPDX-License-Identifier: MIT
#include "iscsi_changer_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "aspi_config/iscsi_portal.h"
#include "aspi_config/layer_config.h"

namespace karvel::ctl {

namespace {

constexpr std::string_view kScheme = "iscsi://";
constexpr const char* kForm = "iscsi://HOST[:PORT]/IQN/LUN";
constexpr const char* kUserVariable = "KARVELCTL_CHAP_USER";
constexpr const char* kPasswordVariable = "KARVELCTL_CHAP_PASSWORD";

std::optional<unsigned> lunNumber(std::string_view text) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 3 || error != std::errc() || end != text.data() + text.size() || value > 255)
        return std::nullopt;
    return value;
}

// Returns the parser's reason without its hint about configuration lines, which -f does not take.
std::string reasonOnly(const std::string& message) {
    const size_t hint = message.find(" (expected: ");
    return hint == std::string::npos ? message : message.substr(0, hint);
}

bool sameHost(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// A word of a configuration line cannot hold blanks, and '#' would start a comment.
bool fitsOnALine(const std::string& word) {
    return std::none_of(word.begin(), word.end(), [](unsigned char c) { return std::isspace(c) || c == '#'; });
}

struct Credentials {
    std::string user;
    std::string password;
};

// Returns the credentials of the user's configuration for portal, if it has any.
std::optional<Credentials> credentialsFromConfig(const aspi::IscsiPortal& portal, const ChapSources& sources) {
    std::optional<Credentials> forPortal;
    for (const aspi::TransportLine& line : aspi::parseConfig(sources.configText, sources.configPath)) {
        if (line.transport != "iscsi")
            continue;
        aspi::IscsiPortal configured;
        try {
            configured = aspi::parseIscsiLine(line);
        } catch (const aspi::ConfigError&) {
            continue;  // the layer reports its own file's faults when it reads it
        }
        if (configured.user.empty() || configured.port != portal.port || !sameHost(configured.host, portal.host))
            continue;
        if (configured.target == portal.target)
            return Credentials{configured.user, configured.password};
        if (configured.target.empty() && !forPortal)
            forPortal = Credentials{configured.user, configured.password};
    }
    return forPortal;
}

}  // namespace

bool isIscsiAddress(const std::string& text) {
    return text.starts_with(kScheme);
}

std::optional<IscsiChangerAddress> planIscsiAddress(const std::string& text, const ChapSources& sources,
                                                      std::string& why) {
    if (text.find('@') != std::string::npos) {  // not echoed: it may hold a secret
        why = std::string("takes no CHAP credentials: they come from ") + kUserVariable + " and " +
              kPasswordVariable + ", or from the iscsi line of your own layer configuration";
        return std::nullopt;
    }
    // Neither a host nor an iSCSI name holds a '/': the form has exactly two after the scheme.
    if (!isIscsiAddress(text) || std::count(text.begin() + kScheme.size(), text.end(), '/') != 2) {
        why = "'" + text + "' is not " + kForm;
        return std::nullopt;
    }
    const size_t lastSlash = text.rfind('/');
    const std::string lunText = text.substr(lastSlash + 1);
    const std::optional<unsigned> lun = lunNumber(lunText);
    if (!lun) {
        why = "'" + text + "': LUN '" + lunText + "' is not a number from 0 to 255 (" + kForm + ")";
        return std::nullopt;
    }
    aspi::IscsiPortal portal;
    try {
        portal = aspi::parseIscsiLine(aspi::TransportLine{"-f", 0, "iscsi", {text.substr(0, lastSlash)}});
    } catch (const aspi::ConfigError& error) {
        why = "'" + text + "': " + reasonOnly(error.what()) + " (" + kForm + ")";
        return std::nullopt;
    }

    std::optional<Credentials> credentials;
    if (sources.user || sources.password) {
        if (!sources.user || !sources.password || sources.user->empty()) {
            why = std::string("CHAP needs both ") + kUserVariable + " and " + kPasswordVariable + ", or neither";
            return std::nullopt;
        }
        if (!fitsOnALine(*sources.user) || !fitsOnALine(*sources.password)) {
            why = std::string(kUserVariable) + " and " + kPasswordVariable + " cannot hold blanks or '#'";
            return std::nullopt;
        }
        credentials = Credentials{*sources.user, *sources.password};
    } else {
        credentials = credentialsFromConfig(portal, sources);
    }

    IscsiChangerAddress address;
    address.layerLine = "iscsi " + portal.url() + "/" + portal.target;
    if (credentials) {
        address.layerLine += " user=" + credentials->user + " password=" + credentials->password;
        address.chap = true;
    }
    address.lun = static_cast<uint8_t>(*lun);
    return address;
}

ChapSources chapSourcesOfThisProcess() {
    ChapSources sources;
    if (const char* user = std::getenv(kUserVariable))
        sources.user = user;
    if (const char* password = std::getenv(kPasswordVariable))
        sources.password = password;
    sources.configPath = aspi::configPath();
    std::ifstream file(sources.configPath, std::ios::binary);
    std::ostringstream text;
    if (file)
        text << file.rdbuf();
    sources.configText = text.str();
    return sources;
}

}  // namespace karvel::ctl
