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
    const std::string path = aspi::config_path();
    struct stat info {};
    if (aspi::config_path_is_explicit() && ::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        const std::string fault = "wnaspi32: " + karvel::escapeText(path) + ": no such file (named by ASPI32_CONFIG)";
        std::fprintf(stderr, "%s\n", fault.c_str());
        return aspi::AspiLayer::not_ready(fault);
    }
    return aspi::AspiLayer::from_config_file(path);
}

aspi::AspiLayer& layer() {
    static aspi::AspiLayer instance = buildLayer();
    return instance;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32SupportInfo(void) {
    return aspi::support_info_from(layer);
}

extern "C" __attribute__((visibility("default"))) uint32_t SendASPI32Command(SRBunion* srb) {
    return aspi::send_through(layer, srb);
}

extern "C" __attribute__((visibility("default"))) uint32_t GetASPI32LayerFault(char* text, uint32_t size) {
    return aspi::layer_fault_from(layer, text, size);
}
