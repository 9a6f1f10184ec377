// SPDX-License-Identifier: MIT
// The two entries of libwnaspi32.so. The layer is built from its configuration on
// first use and lives for the rest of the process.
#include "aspi_layer.h"
#include "aspi_config/layer_config.h"

namespace {

aspi::AspiLayer& layer() {
    static aspi::AspiLayer instance = aspi::AspiLayer::from_config_file(aspi::config_path());
    return instance;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32SupportInfo(void) {
    try {
        return layer().support_info();
    } catch (...) {
        return SS_FAILED_INIT << 8;
    }
}

extern "C" __attribute__((visibility("default"))) uint32_t SendASPI32Command(SRBunion* srb) {
    try {
        return layer().send(srb);
    } catch (...) {
        return SS_NO_RESOURCES;
    }
}
