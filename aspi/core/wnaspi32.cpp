// SPDX-License-Identifier: MIT
// The entries of libwnaspi32.so. The layer is built from its configuration on first use
// and lives for the rest of the process.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "aspi_config/layer_config.h"
#include "aspi_layer.h"
#include "layer_entries.h"
#include "outside_text.h"

namespace {

aspi::AspiLayer buildLayer() {
    const std::string path = aspi::configPath();
    struct stat info {};
    if (aspi::configPathIsExplicit() && ::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        const std::string fault = "wnaspi32: " + karvel::escapeText(path) + ": no such file (named by ASPI32_CONFIG)";
        std::fprintf(stderr, "%s\n", fault.c_str());
        return aspi::AspiLayer::notReady(fault);
    }
    return aspi::AspiLayer::fromConfigFile(path);
}

aspi::AspiLayer& layer() {
    static aspi::AspiLayer instance = buildLayer();
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
