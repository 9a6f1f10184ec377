// The portal an "iscsi" configuration line names, with its CHAP credentials.
#pragma once

#include <cstdint>
#include <string>

#include "transport.h"

namespace aspi {

inline constexpr uint16_t kIscsiDefaultPort = 3260;

struct IscsiPortal {
    std::string host;      // name or address; an IPv6 address without its brackets
    uint16_t port = kIscsiDefaultPort;
    std::string user;      // CHAP user, empty for none
    std::string password;  // CHAP secret; never printed

    // Returns "HOST:PORT" as libiscsi takes it (IPv6 in brackets).
    std::string address() const;
    // Returns the portal as the user wrote it, for messages: "iscsi://HOST:PORT".
    std::string url() const;
};

// Reads the words after "iscsi": iscsi://HOST[:PORT] [user=NAME password=SECRET]. Throws
// ConfigError for anything else; the message never contains the secret.
IscsiPortal parse_iscsi_line(const TransportLine& line);

}  // namespace aspi
