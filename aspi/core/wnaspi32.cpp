// SPDX-License-Identifier: MIT
// The entries of libwnaspi32.so. The layer is built from its configuration on first use
// and lives for the rest of the process.
#include "aspi_config/layer_config.h"
#include "aspi_layer.h"
#include "layer_entries.h"

namespace {

aspi::AspiLayer& layer() {
    static aspi::AspiLayer instance = aspi::AspiLayer::fromConfigFile(
        aspi::configPath(), aspi::configPathIsExplicit() ? aspi::AspiLayer::MissingFile::isFault
                                                         : aspi::AspiLayer::MissingFile::useDefault);
    return instance;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32SupportInfo(void) {
    return aspi::supportInfoFrom(layer);
}

extern "C" __attribute__((visibility("default"))) uint32_t SendASPI32Command(SRBunion* srb) {
    return aspi::sendThrough(layer, srb);
}

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32LayerFault(char* text, uint32_t size) {
    return aspi::layerFaultFrom(layer, text, size);
}
