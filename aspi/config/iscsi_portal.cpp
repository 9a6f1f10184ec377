// SPDX-License-Identifier: MIT
#include "aspi_config/iscsi_portal.h"
#include "outside_text.h"

#include <charconv>

namespace aspi {

namespace {

constexpr std::string_view kScheme = "iscsi://";
// A portal URL with a target name is often longer than an ordinary quoted value.
constexpr size_t kQuotedUrlLength = 200;
constexpr const char* kUsage = "expected: iscsi iscsi://HOST[:PORT][/IQN] [user=NAME password=SECRET]";

[[noreturn]] void refuse(const std::string& what) { throw ConfigError(what + " (" + kUsage + ")"); }

// The portal URL as a refusal shows it: in quotes, escaped, and cut past kQuotedUrlLength.
std::string quoted(const std::string& url) { return "'" + karvel::quotePrefix(url, kQuotedUrlLength) + "'"; }

uint16_t parsePort(std::string_view text, const std::string& url) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        refuse("bad port in " + quoted(url));
    return static_cast<uint16_t>(value);
}

void parseUrl(const std::string& url, IscsiPortal& portal) {
    if (!url.starts_with(kScheme)) refuse(quoted(url) + " is not an iscsi:// portal");
    std::string_view rest = std::string_view(url).substr(kScheme.size());
    if (rest.find('@') != std::string_view::npos)
        refuse("give CHAP credentials as user= and password=, not in the portal");
    // Neither a host nor an iSCSI name holds a '/', so the first one ends the portal.
    if (size_t slash = rest.find('/'); slash != std::string_view::npos) {
        std::string_view target = rest.substr(slash + 1);
        if (target.empty()) refuse("no target name after '/' in " + quoted(url));
        if (target.find('/') != std::string_view::npos)
            refuse("no LUN in " + quoted(url) + ": the adapter serves every LUN of its target");
        portal.target = std::string(target);
        rest = rest.substr(0, slash);
    }
    std::string_view portText;
    if (rest.starts_with('[')) {
        size_t close = rest.find(']');
        if (close == std::string_view::npos) refuse("unclosed '[' in " + quoted(url));
        portal.host = std::string(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') refuse("unexpected text after ']' in " + quoted(url));
            portText = rest.substr(1);
            portal.port = parsePort(portText, url);
        }
    } else {
        size_t colon = rest.find(':');
        portal.host = std::string(rest.substr(0, colon));
        if (colon != std::string_view::npos) portal.port = parsePort(rest.substr(colon + 1), url);
    }
    if (portal.host.empty()) refuse("no host in " + quoted(url));
}

}  // namespace

std::string IscsiPortal::address() const {
    bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string IscsiPortal::url() const { return std::string(kScheme) + address(); }

IscsiPortal parseIscsiLine(const TransportLine& line) {
    if (line.args.empty()) refuse("no portal given");
    IscsiPortal portal;
    parseUrl(line.args[0], portal);
    bool haveUser = false, havePassword = false;
    for (size_t i = 1; i < line.args.size(); ++i) {
        const std::string& word = line.args[i];
        size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        if (equals == std::string::npos) {
            // Not quoted: a secret written as a word of its own must not reach the log.
            refuse("word " + std::to_string(i + 2) + " is not KEY=VALUE");
        } else if (key == "user") {
            if (haveUser) refuse("user= given twice");
            portal.user = word.substr(equals + 1);
            haveUser = true;
        } else if (key == "password") {
            if (havePassword) refuse("password= given twice");
            portal.password = word.substr(equals + 1);
            havePassword = true;
        } else {
            refuse("unknown key '" + karvel::quotePrefix(key) + "'");
        }
    }
    if (haveUser != havePassword || (haveUser && portal.user.empty()))
        refuse("CHAP needs both user=NAME and password=SECRET");
    return portal;
}

}  // namespace aspi
