// SPDX-License-Identifier: MIT
// The entries over a layer that cannot be built, a transport that throws, and the layer's
// reason for the operator.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>

#include "layer_entries.h"

namespace aspi {
namespace {

AspiLayer& cannotBuild() { throw std::bad_alloc(); }

TEST(LayerEntries, ALayerThatCannotBeBuiltFailsTheRequestInItsStatusByte) {
    SRBunion srb{};
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_Status = SS_COMP;  // as InitSRBexecute leaves it
    EXPECT_EQ(sendThrough(cannotBuild, &srb), SS_NO_RESOURCES);
    EXPECT_EQ(srb.exec.SRB_Status, SS_NO_RESOURCES);
    EXPECT_EQ(sendThrough(cannotBuild, nullptr), SS_NO_RESOURCES);
    EXPECT_EQ(supportInfoFrom(cannotBuild), uint32_t{SS_FAILED_INIT} << 8);
}

class ThrowingTransport : public Transport {
public:
    explicit ThrowingTransport(bool outOfMemory) : m_outOfMemory(outOfMemory) {}
    CommandResult execute(const CommandRequest&) override {
        if (m_outOfMemory) throw std::bad_alloc();
        throw std::runtime_error("link lost");
    }
    std::optional<uint8_t> deviceType(uint8_t, uint8_t) override { return std::nullopt; }

private:
    bool m_outOfMemory;
};

struct ThrowCase {
    const char* name;
    bool outOfMemory;
    uint8_t status;
};

class TransportThrows : public ::testing::TestWithParam<ThrowCase> {};

TEST_P(TransportThrows, LeavesNothingOfThePreviousRequestInTheBlock) {
    std::vector<std::unique_ptr<Transport>> adapters;
    adapters.push_back(std::make_unique<ThrowingTransport>(GetParam().outOfMemory));
    AspiLayer layer(std::move(adapters));
    SRBunion srb{};
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_CDBLen = 6;
    srb.exec.SRB_SenseLen = SENSE_LEN;
    srb.exec.SRB_HaStat = HASTAT_SEL_TO;  // the previous request's outcome
    srb.exec.SRB_TargStat = 0x02;
    for (auto& byte : srb.exec.SenseArea) byte = 0x5A;
    EXPECT_EQ(layer.send(&srb), GetParam().status);
    EXPECT_EQ(srb.exec.SRB_Status, GetParam().status);
    EXPECT_EQ(srb.exec.SRB_HaStat, HASTAT_OK);
    EXPECT_EQ(srb.exec.SRB_TargStat, 0);
    for (uint8_t byte : srb.exec.SenseArea) EXPECT_EQ(byte, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, TransportThrows,
                         ::testing::Values(ThrowCase{"OutOfMemory", true, SS_NO_RESOURCES},
                                           ThrowCase{"AnyOtherFailure", false, SS_ERR}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct FaultCase {
    const char* name;
    uint32_t size;
    const char* text;  // what the buffer holds afterwards
};

class LayerFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LayerFault, CopiesTheReasonCutToTheBufferAndReturnsItsWholeLength) {
    AspiLayer notReady = AspiLayer::notReady("wnaspi32: a.conf:1: unknown transport 'bogus'");
    char text[64];
    std::fill(std::begin(text), std::end(text), '#');
    EXPECT_EQ(layerFaultFrom([&]() -> AspiLayer& { return notReady; }, text, GetParam().size), 45u);
    if (GetParam().size > 0)
        EXPECT_STREQ(text, GetParam().text);
    else
        EXPECT_EQ(text[0], '#');  // a buffer of no bytes is not touched
}

INSTANTIATE_TEST_SUITE_P(Table, LayerFault,
                         ::testing::Values(FaultCase{"Whole", 64, "wnaspi32: a.conf:1: unknown transport 'bogus'"},
                                           FaultCase{"ExactFit", 46, "wnaspi32: a.conf:1: unknown transport 'bogus'"},
                                           FaultCase{"Cut", 9, "wnaspi32"},
                                           FaultCase{"OneByte", 1, ""},
                                           FaultCase{"NoBytes", 0, ""}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(LayerFault, AReadyLayerHasNoneAndOneThatCannotBeBuiltSaysSo) {
    AspiLayer ready({});
    char text[80] = "x";
    EXPECT_EQ(layerFaultFrom([&]() -> AspiLayer& { return ready; }, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_GT(layerFaultFrom(cannotBuild, text, sizeof text), 0u);
    EXPECT_EQ(std::string(text).rfind("wnaspi32: cannot build the layer", 0), 0u) << text;
    EXPECT_EQ(layerFaultFrom(cannotBuild, nullptr, 80), std::string(text).size());
}

// Without a configuration file the layer serves the local SCSI hosts; on a machine without
// any it says why it serves nothing.
TEST(LayerFault, NoFileAndNoScsiHostIsTheReason) {
    std::error_code error;
    if (std::filesystem::exists("/sys/class/scsi_host", error) &&
        !std::filesystem::is_empty("/sys/class/scsi_host", error))
        GTEST_SKIP() << "this machine has SCSI hosts";
    const std::string path = (std::filesystem::temp_directory_path() / "no-such-dir-karvel/wnaspi32.conf").string();
    AspiLayer layer = AspiLayer::fromConfigFile(path);
    EXPECT_TRUE(layer.ready());
    EXPECT_EQ(layer.fault(), "wnaspi32: no configuration file " + path + " and no local SCSI host");
}

}  // namespace
}  // namespace aspi
