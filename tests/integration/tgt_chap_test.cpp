// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>

#include "aspi_layer.h"
#include "tgt_changer.h"

namespace {

using karvel::test::TgtChanger;
using karvel::test::TgtChangerLayout;

constexpr const char* kSecret = "karvel-chap-secret";

TgtChangerLayout withChap() {
    TgtChangerLayout layout;
    layout.chapUser = "operator";
    layout.chapPassword = kSecret;
    return layout;
}

// Returns the device type the layer built from config finds at target 0, LUN 1, or the status.
uint32_t probeChanger(aspi::AspiLayer& layer, uint8_t& type) {
    SRBunion probe{};
    probe.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    probe.gdev.SRB_Lun = TgtChanger::kChangerLun;
    uint32_t status = layer.send(&probe);
    type = probe.gdev.SRB_DeviceType;
    return status;
}

TEST(TgtChap, CredentialsFromTheLineOpenTheTarget) {
    TgtChanger changer(withChap());
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(changer.configPath());
    uint8_t type = 0;
    EXPECT_EQ(probeChanger(layer, type), SS_COMP);
    EXPECT_EQ(type, 8);
}

using Credentials = std::tuple<const char* /*line suffix*/, const char* /*said*/>;

class TgtChapRefused : public ::testing::TestWithParam<Credentials> {};

TEST_P(TgtChapRefused, FindsNoDeviceSaysSoAndNeverShowsTheSecret) {
    auto [suffix, said] = GetParam();
    TgtChanger changer(withChap());
    std::string config = changer.configPath() + ".refused";
    std::ofstream(config) << "iscsi " << changer.portalUrl() << suffix << "\n";
    aspi::AspiLayer layer = aspi::AspiLayer::fromConfigFile(config);
    ::testing::internal::CaptureStderr();
    uint8_t type = 0;
    EXPECT_EQ(probeChanger(layer, type), SS_NO_DEVICE);
    std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find(said), std::string::npos) << text;
    EXPECT_EQ(text.find(kSecret), std::string::npos) << text;
    EXPECT_EQ(text.find("wrong-" + std::string(kSecret)), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Table, TgtChapRefused,
                         ::testing::Values(Credentials{"", "login failed"},
                                           Credentials{" user=operator password=wrong-karvel-chap-secret",
                                                       "login failed"}),
                         [](const auto& testInfo) { return testInfo.index == 0 ? "NoCredentials" : "WrongPassword"; });

}  // namespace
