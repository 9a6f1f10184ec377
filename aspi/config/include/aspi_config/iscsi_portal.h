// SPDX-License-Identifier: MIT
// The portal an "iscsi" configuration line names, with its CHAP credentials, and the one
// target it is limited to when the line names one.
#pragma once

#include <cstdint>
#include <string>

#include "aspi_config/transport_line.h"

namespace aspi {

inline constexpr uint16_t kIscsiDefaultPort = 3260;

struct IscsiPortal {
    std::string host;      // name or address; an IPv6 address without its brackets
    uint16_t port = kIscsiDefaultPort;
    std::string user;      // CHAP user, empty for none
    std::string password;  // CHAP secret; never printed
    std::string target;    // the IQN when the line names one target; empty: every target SendTargets lists

    // Returns "HOST:PORT" as libiscsi takes it (IPv6 in brackets).
    std::string address() const;
    // Returns the portal as the user wrote it, for messages: "iscsi://HOST:PORT".
    std::string url() const;
};

// Returns the portal the words after "iscsi" describe: iscsi://HOST[:PORT][/IQN]
// [user=NAME password=SECRET]. Throws ConfigError for anything else; the message never
// contains the secret.
IscsiPortal parseIscsiLine(const TransportLine& line);

}  // namespace aspi
