// SPDX-License-Identifier: MIT
// H:T:L: what it accepts and how it says what is wrong.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "changer_model/target_address_text.h"

using namespace karvel::model;

namespace {

using Accepted = std::tuple<std::string, unsigned, unsigned, unsigned>;

class AcceptedAddress : public testing::TestWithParam<Accepted> {};

TEST_P(AcceptedAddress, GivesItsTarget) {
    const auto& [text, h, t, l] = GetParam();
    std::string why;
    const std::optional<TargetAddress> target = parseTargetAddress(text, why);
    ASSERT_TRUE(target) << why;
    EXPECT_EQ(target->hostAdapter, h);
    EXPECT_EQ(target->targetId, t);
    EXPECT_EQ(target->lun, l);
    EXPECT_EQ(formatTargetAddress(*target), std::to_string(h) + ":" + std::to_string(t) + ":" + std::to_string(l));
}

INSTANTIATE_TEST_SUITE_P(Forms, AcceptedAddress,
                         testing::Values(Accepted{"0:0:0", 0, 0, 0}, Accepted{"1:4:2", 1, 4, 2},
                                         Accepted{"255:255:255", 255, 255, 255}, Accepted{"007:08:0", 7, 8, 0}));

using Refused = std::tuple<std::string, std::string>;  // text, a part of the reason

class RefusedAddress : public testing::TestWithParam<Refused> {};

TEST_P(RefusedAddress, SaysWhy) {
    const auto& [text, reason] = GetParam();
    std::string why;
    EXPECT_FALSE(parseTargetAddress(text, why));
    EXPECT_NE(why.find(reason), std::string::npos) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RefusedAddress,
    testing::Values(Refused{"", "is not H:T:L"}, Refused{"0:0", "is not H:T:L"}, Refused{"0:0:0:0", "is not H:T:L"},
                    Refused{"256:0:0", "host adapter '256' is not a number from 0 to 255"},
                    Refused{"0:256:0", "target id '256' is not a number from 0 to 255"},
                    Refused{"0:0:256", "LUN '256' is not a number from 0 to 255"},
                    Refused{"0:-1:0", "target id '-1'"}, Refused{"0: 1:0", "target id ' 1'"},
                    Refused{"0:1:", "LUN ''"}, Refused{"a:1:0", "host adapter 'a'"},
                    Refused{"0:1:2x", "LUN '2x'"}, Refused{"99999999999:0:0", "host adapter '99999999999'"}));

}  // namespace
