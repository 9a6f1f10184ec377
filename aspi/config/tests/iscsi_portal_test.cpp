// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <tuple>

#include "aspi_layer.h"
#include "aspi_config/iscsi_portal.h"

namespace aspi {
namespace {

TransportLine line(std::vector<std::string> args) { return {"test.conf", 3, "iscsi", std::move(args)}; }

using Accepted = std::tuple<std::vector<std::string> /*args*/, std::string /*address*/, std::string /*target*/,
                            std::string /*user*/, std::string /*password*/>;

class IscsiLineAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(IscsiLineAccepted, GivesThePortalTargetAndCredentials) {
    auto [args, address, target, user, password] = GetParam();
    IscsiPortal portal = parseIscsiLine(line(args));
    EXPECT_EQ(std::make_tuple(portal.address(), portal.target, portal.user, portal.password),
              std::make_tuple(address, target, user, password));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IscsiLineAccepted,
    ::testing::Values(Accepted{{"iscsi://127.0.0.1:3261"}, "127.0.0.1:3261", "", "", ""},
                      Accepted{{"iscsi://jukebox.example"}, "jukebox.example:3260", "", "", ""},
                      Accepted{{"iscsi://[::1]:4000"}, "[::1]:4000", "", "", ""},
                      Accepted{{"iscsi://[fe80::1]"}, "[fe80::1]:3260", "", "", ""},
                      Accepted{{"iscsi://h:1", "user=op", "password=s3cr=t"}, "h:1", "", "op", "s3cr=t"},
                      Accepted{{"iscsi://h:1", "password=x", "user=op"}, "h:1", "", "op", "x"},
                      Accepted{{"iscsi://h/iqn.2024-01.org.example:changer"}, "h:3260",
                               "iqn.2024-01.org.example:changer", "", ""},
                      Accepted{{"iscsi://10.0.0.7:3261/iqn.x:a.b"}, "10.0.0.7:3261", "iqn.x:a.b", "", ""},
                      Accepted{{"iscsi://[::1]:4000/iqn.x:y"}, "[::1]:4000", "iqn.x:y", "", ""},
                      Accepted{{"iscsi://[::1]/iqn.x:y"}, "[::1]:3260", "iqn.x:y", "", ""},
                      Accepted{{"iscsi://h/iqn.x", "user=op", "password=pw"}, "h:3260", "iqn.x", "op", "pw"}));

using Refused = std::tuple<std::vector<std::string> /*args*/, std::string /*said*/>;

class IscsiLineRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(IscsiLineRefused, SaysWhyAndNeverShowsTheSecret) {
    auto [args, said] = GetParam();
    try {
        parseIscsiLine(line(args));
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
                      Refused{{"iscsi://h/iqn.x/1"}, "no LUN"}, Refused{{"iscsi://h/"}, "no target name"},
                      Refused{{"iscsi:///iqn.x"}, "no host"}, Refused{{"iscsi://h:/iqn.x"}, "bad port"},
                      Refused{{"iscsi://h:32x/iqn.x"}, "bad port"},
                      Refused{{"iscsi://op%hunter2@h/iqn.x"}, "user= and password="},
                      Refused{{"iscsi://op%hunter2@h"}, "user= and password="},
                      Refused{{"iscsi://[::1"}, "unclosed"},
                      Refused{{"iscsi://h", "user=op"}, "both"}, Refused{{"iscsi://h", "password=hunter2"}, "both"},
                      Refused{{"iscsi://h", "user=op", "password", "hunter2"}, "KEY=VALUE"},
                      Refused{{"iscsi://h", "user=op", "hunter2"}, "KEY=VALUE"},
                      Refused{{"iscsi://h", "user=op", "password=hunter2", "password=hunter2"}, "twice"},
                      Refused{{"iscsi://h", "digest=crc32c"}, "unknown key 'digest'"}));

using BadLine = std::tuple<const char* /*line*/, const char* /*said*/>;

class IscsiBadLineInFile : public ::testing::TestWithParam<BadLine> {};

// The layer is then not ready and says once, on one line, where and why.
TEST_P(IscsiBadLineInFile, MakesTheLayerNotReadyWithOneLineNamingFileAndLine) {
    auto [text, said] = GetParam();
    std::string path = ::testing::TempDir() + "iscsi_bad_line_" + std::to_string(::getpid()) + ".conf";
    std::ofstream(path) << "# named target\n" << text << "\n";
    ::testing::internal::CaptureStderr();
    AspiLayer layer = AspiLayer::fromConfigFile(path);
    std::string reported = ::testing::internal::GetCapturedStderr();
    std::remove(path.c_str());
    EXPECT_FALSE(layer.ready());
    EXPECT_EQ(reported, layer.fault() + "\n");
    EXPECT_EQ(reported.rfind("wnaspi32: " + path + ":2: ", 0), 0u) << reported;
    EXPECT_NE(reported.find(said), std::string::npos) << reported;
}

INSTANTIATE_TEST_SUITE_P(Table, IscsiBadLineInFile,
                         ::testing::Values(BadLine{"iscsi iscsi://127.0.0.1:3260/iqn.x:changer/1", "no LUN"},
                                           BadLine{"iscsi iscsi://127.0.0.1:3260/", "no target name"},
                                           BadLine{"iscsi iscsi://127.0.0.1:3260/iqn.x user=op", "both"}));

}  // namespace
}  // namespace aspi
