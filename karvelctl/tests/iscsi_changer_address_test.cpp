// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>

#include "iscsi_changer_address.h"

namespace karvel::ctl {
namespace {

ChapSources config(std::string text) { return ChapSources{std::nullopt, std::nullopt, std::move(text), "test.conf"}; }

ChapSources environment(std::optional<std::string> user, std::optional<std::string> password, std::string text = "") {
    return ChapSources{std::move(user), std::move(password), std::move(text), "test.conf"};
}

using Planned = std::tuple<const char* /*-f text*/, ChapSources, std::tuple<std::string, int, bool> /*line, LUN, chap*/>;

class IscsiAddressPlanned : public ::testing::TestWithParam<Planned> {};

TEST_P(IscsiAddressPlanned, GivesTheLayerLineLunAndCredentials) {
    auto [text, sources, expected] = GetParam();
    std::string why;
    std::optional<IscsiChangerAddress> plan = planIscsiAddress(text, sources, why);
    ASSERT_TRUE(plan) << why;
    EXPECT_EQ(std::make_tuple(plan->layerLine, int{plan->lun}, plan->chap), expected);
}

constexpr const char* kChanger = "iscsi://127.0.0.1:3261/iqn.x:changer/1";
const std::string kLine = "iscsi iscsi://127.0.0.1:3261/iqn.x:changer";

INSTANTIATE_TEST_SUITE_P(
    Table, IscsiAddressPlanned,
    ::testing::Values(
        Planned{kChanger, config(""), {kLine, 1, false}},
        Planned{"iscsi://jukebox/iqn.x/0", config(""), {"iscsi iscsi://jukebox:3260/iqn.x", 0, false}},
        Planned{"iscsi://[::1]:4000/iqn.x/255", config(""), {"iscsi iscsi://[::1]:4000/iqn.x", 255, false}},
        Planned{kChanger, environment("op", "pw"), {kLine + " user=op password=pw", 1, true}},
        // The portal's line gives its credentials to every target of the portal ...
        Planned{kChanger, config("sim a.state\niscsi iscsi://127.0.0.1:3261 user=a password=b\n"),
                {kLine + " user=a password=b", 1, true}},
        // ... but a line for this very target wins, wherever it stands.
        Planned{kChanger,
                config("iscsi iscsi://127.0.0.1:3261 user=a password=b\n"
                       "iscsi iscsi://127.0.0.1:3261/iqn.x:changer user=c password=d\n"),
                {kLine + " user=c password=d", 1, true}},
        Planned{kChanger, config("iscsi iscsi://127.0.0.1:3261/iqn.x:other user=e password=f\n"), {kLine, 1, false}},
        Planned{kChanger, config("iscsi iscsi://127.0.0.1:3260 user=e password=f\n"), {kLine, 1, false}},
        Planned{kChanger, config("iscsi iscsi://127.0.0.2:3261 user=e password=f\n"), {kLine, 1, false}},
        Planned{kChanger, config("iscsi iscsi://127.0.0.1:3261\n"), {kLine, 1, false}},
        Planned{"iscsi://JukeBox/iqn.x/2", config("iscsi iscsi://jukebox user=a password=b\n"),
                {"iscsi iscsi://JukeBox:3260/iqn.x user=a password=b", 2, true}},
        // A line the layer would refuse is passed over here; the layer reports it itself.
        Planned{kChanger, config("iscsi iscsi://127.0.0.1:3261 user=a\niscsi iscsi://127.0.0.1:3261 user=g password=h\n"),
                {kLine + " user=g password=h", 1, true}},
        Planned{kChanger, environment("op", "pw", "iscsi iscsi://127.0.0.1:3261 user=a password=b\n"),
                {kLine + " user=op password=pw", 1, true}}));

using Refused = std::tuple<const char* /*-f text*/, ChapSources, const char* /*said*/>;

class IscsiAddressRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(IscsiAddressRefused, SaysWhyOnOneLineWithoutTheSecret) {
    auto [text, sources, said] = GetParam();
    std::string why;
    EXPECT_FALSE(planIscsiAddress(text, sources, why));
    EXPECT_NE(why.find(said), std::string::npos) << why;
    EXPECT_EQ(why.find("hunter"), std::string::npos) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IscsiAddressRefused,
    ::testing::Values(Refused{"iscsi://h/1", config(""), "is not iscsi://HOST[:PORT]/IQN/LUN"},
                      Refused{"iscsi://h", config(""), "is not iscsi://HOST[:PORT]/IQN/LUN"},
                      Refused{"iscsi://h/iqn.x/y/1", config(""), "is not iscsi://HOST[:PORT]/IQN/LUN"},
                      Refused{"iscsi://h/iqn.x/256", config(""), "LUN '256' is not a number from 0 to 255"},
                      Refused{"iscsi://h/iqn.x/", config(""), "LUN '' is not"},
                      Refused{"iscsi://h/iqn.x/1a", config(""), "LUN '1a' is not"},
                      Refused{"iscsi://h:0/iqn.x/1", config(""), "bad port"},
                      Refused{"iscsi:///iqn.x/1", config(""), "no host"},
                      Refused{"iscsi://h//1", config(""), "no target name"},
                      Refused{"iscsi://op:hunter2@h/iqn.x/1", config(""), "takes no CHAP credentials"},
                      Refused{kChanger, environment("op", std::nullopt), "needs both"},
                      Refused{kChanger, environment(std::nullopt, "hunter2"), "needs both"},
                      Refused{kChanger, environment("", "hunter2"), "needs both"},
                      Refused{kChanger, environment("op", "hunter 2"), "cannot hold blanks or '#'"},
                      Refused{kChanger, environment("op", "hunter#2"), "cannot hold blanks or '#'"}));

}  // namespace
}  // namespace karvel::ctl
