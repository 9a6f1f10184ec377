// SPDX-License-Identifier: MIT
// The kernel's "H:C:T:L" device names.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "aspi_config/kernel_scsi_address.h"

namespace aspi {
namespace {

using Parts = std::tuple<unsigned, unsigned, unsigned, unsigned>;
using Case = std::tuple<std::string, std::optional<Parts>>;

class KernelScsiAddressNames : public testing::TestWithParam<Case> {};

TEST_P(KernelScsiAddressNames, AreFourDecimalNumbers) {
    const auto& [name, expected] = GetParam();
    const std::optional<KernelScsiAddress> a = parseKernelScsiAddress(name);
    ASSERT_EQ(a.has_value(), expected.has_value()) << name;
    if (a) {
        EXPECT_EQ(std::make_tuple(a->host, a->channel, a->target, a->lun), *expected) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, KernelScsiAddressNames,
    testing::Values(Case{"0:0:4:0", Parts{0, 0, 4, 0}}, Case{"12:1:300:65535", Parts{12, 1, 300, 65535}},
                    Case{"0:0:4", std::nullopt}, Case{"0:0:4:0:1", std::nullopt}, Case{"0::4:0", std::nullopt},
                    Case{"0:0:4:", std::nullopt}, Case{"a:0:4:0", std::nullopt}, Case{"0:0:+4:0", std::nullopt},
                    Case{"0:0:4:0 ", std::nullopt}, Case{"0:0:4:99999999999", std::nullopt},
                    Case{"", std::nullopt}, Case{"host0", std::nullopt}));

}  // namespace
}  // namespace aspi
