// SPDX-License-Identifier: MIT
// -f iscsi://HOST:PORT/IQN/LUN on tgt's changer: the private layer line, its CHAP credentials
// from the user's own configuration or the environment, and a vendor command tgt lacks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "ctl_process.h"
#include "tgt_changer.h"

namespace karvel::ctl::test {
namespace {

using karvel::test::TgtChanger;
using karvel::test::TgtChangerLayout;

constexpr const char* kSecret = "ctl-chap-secret";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Returns the names in directory that karvelctl's private configurations would have.
std::vector<std::string> leftoverConfigurations(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().filename().string().starts_with("karvelctl-")) names.push_back(entry.path().string());
    return names;
}

enum class Credentials { none, inUsersConfiguration, inEnvironment, missing };

using Addressed = std::tuple<const char* /*name*/, Credentials, bool /*wrong IQN*/, int /*exit*/,
                             std::vector<std::string> /*err parts*/>;

class KarvelctlIscsiAddress : public ::testing::TestWithParam<Addressed> {};

TEST_P(KarvelctlIscsiAddress, ReachesTheNamedTargetsLun) {
    auto [name, credentials, wrongName, exit, errParts] = GetParam();
    TgtChangerLayout layout;
    if (credentials != Credentials::none) {
        layout.chapUser = "operator";
        layout.chapPassword = kSecret;
    }
    TgtChanger changer(layout);  // its configuration, the user's own here, holds the credentials
    const std::string scratch = makeScratchDirectory();
    Environment env = {{"TMPDIR", scratch}, {"XDG_CONFIG_HOME", scratch}, {"HOME", scratch}};
    if (credentials == Credentials::inEnvironment || credentials == Credentials::missing) {
        const std::string plain = scratch + "/plain.conf";
        std::ofstream(plain) << "iscsi " << changer.portalUrl() << "\n";
        env.emplace_back("ASPI32_CONFIG", plain);
    }
    if (credentials == Credentials::inEnvironment) {
        env.emplace_back("KARVELCTL_CHAP_USER", "operator");
        env.emplace_back("KARVELCTL_CHAP_PASSWORD", kSecret);
    }
    const std::string address =
        changer.portalUrl() + "/" + changer.targetName() + (wrongName ? "-wrong" : "") + "/" + std::to_string(TgtChanger::kChangerLun);

    const ProcessResult result = runProcess({KARVELCTL_PROGRAM, "-f", address, "status"}, env);
    EXPECT_EQ(result.exitCode, exit) << result.err;
    if (exit == 0) {
        EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
                  "  Storage Changer " + address + ":2 Drives, 11 Slots ( 1 Import/Export )");
    }
    for (const std::string& part : errParts) EXPECT_TRUE(contains(result.err, part)) << result.err;
    EXPECT_FALSE(contains(result.err, kSecret)) << result.err;
    EXPECT_EQ(leftoverConfigurations(scratch), std::vector<std::string>{});
    removeTree(scratch);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KarvelctlIscsiAddress,
    ::testing::Values(Addressed{"Plain", Credentials::none, false, 0, {}},
                      Addressed{"ChapFromTheUsersConfiguration", Credentials::inUsersConfiguration, false, 0, {}},
                      Addressed{"ChapFromTheEnvironment", Credentials::inEnvironment, false, 0, {}},
                      Addressed{"ChapMissing", Credentials::missing, false, 3, {"login failed", "no device answers at"}},
                      Addressed{"WrongName", Credentials::none, true, 3, {"login failed", "Target not found"}}),
    [](const auto& testInfo) { return std::string(std::get<0>(testInfo.param)); });

TEST(KarvelctlIscsiAddress, RecordsAreRefusedByAChangerWithoutThem) {
    TgtChanger changer;
    const std::string address =
        changer.portalUrl() + "/" + changer.targetName() + "/" + std::to_string(TgtChanger::kChangerLun);
    const ProcessResult result = runProcess({KARVELCTL_PROGRAM, "-f", address, "records"}, {});
    EXPECT_EQ(std::make_tuple(result.exitCode, result.out), std::make_tuple(1, std::string()));
    for (const char* part : {"READ BUFFER of Records Group 0 Failed\n", "Sense Key: Illegal Request"})
        EXPECT_TRUE(contains(result.err, part)) << result.err;
}

}  // namespace
}  // namespace karvel::ctl::test
