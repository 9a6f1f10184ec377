#include <gtest/gtest.h>

#include <tuple>

#include "iscsi/iscsi_portal.h"

namespace aspi {
namespace {

TransportLine line(std::vector<std::string> args) { return {"test.conf", 3, "iscsi", std::move(args)}; }

using Accepted = std::tuple<std::vector<std::string> /*args*/, std::string /*address*/, std::string /*user*/,
                            std::string /*password*/>;

class IscsiLineAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(IscsiLineAccepted, GivesThePortalAndCredentials) {
    auto [args, address, user, password] = GetParam();
    IscsiPortal portal = parse_iscsi_line(line(args));
    EXPECT_EQ(std::make_tuple(portal.address(), portal.user, portal.password),
              std::make_tuple(address, user, password));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IscsiLineAccepted,
    ::testing::Values(Accepted{{"iscsi://127.0.0.1:3261"}, "127.0.0.1:3261", "", ""},
                      Accepted{{"iscsi://jukebox.example"}, "jukebox.example:3260", "", ""},
                      Accepted{{"iscsi://[::1]:4000"}, "[::1]:4000", "", ""},
                      Accepted{{"iscsi://[fe80::1]"}, "[fe80::1]:3260", "", ""},
                      Accepted{{"iscsi://h:1", "user=op", "password=s3cr=t"}, "h:1", "op", "s3cr=t"},
                      Accepted{{"iscsi://h:1", "password=x", "user=op"}, "h:1", "op", "x"}));

using Refused = std::tuple<std::vector<std::string> /*args*/, std::string /*said*/>;

class IscsiLineRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(IscsiLineRefused, SaysWhyAndNeverShowsTheSecret) {
    auto [args, said] = GetParam();
    try {
        parse_iscsi_line(line(args));
        FAIL() << "accepted";
    } catch (const ConfigError& error) {
        std::string what = error.what();
        EXPECT_NE(what.find(said), std::string::npos) << what;
        EXPECT_EQ(what.find("hunter2"), std::string::npos) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IscsiLineRefused,
    ::testing::Values(Refused{std::vector<std::string>{}, "no portal"}, Refused{{"127.0.0.1"}, "not an iscsi://"},
                      Refused{{"iscsi://"}, "no host"}, Refused{{"iscsi://h:0"}, "bad port"},
                      Refused{{"iscsi://h:70000"}, "bad port"}, Refused{{"iscsi://h:32x"}, "bad port"},
                      Refused{{"iscsi://h/iqn.x/1"}, "discovery"},
                      Refused{{"iscsi://op%hunter2@h"}, "user= and password="},
                      Refused{{"iscsi://[::1"}, "unclosed"},
                      Refused{{"iscsi://h", "user=op"}, "both"}, Refused{{"iscsi://h", "password=hunter2"}, "both"},
                      Refused{{"iscsi://h", "user=op", "password", "hunter2"}, "KEY=VALUE"},
                      Refused{{"iscsi://h", "user=op", "hunter2"}, "KEY=VALUE"},
                      Refused{{"iscsi://h", "user=op", "password=hunter2", "password=hunter2"}, "twice"},
                      Refused{{"iscsi://h", "digest=crc32c"}, "unknown key 'digest'"}));

}  // namespace
}  // namespace aspi
