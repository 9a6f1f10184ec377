// SPDX-License-Identifier: MIT
#include "layer_entries.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

namespace aspi {

namespace {

void publishStatus(uint8_t& field, uint8_t value) {
    std::atomic_ref<uint8_t>(field).store(value, std::memory_order_release);
}

uint32_t copyText(std::string_view reason, char* text, uint32_t size) {
    if (text && size > 0) {
        size_t bytes = std::min<size_t>(reason.size(), size - 1);
        std::memcpy(text, reason.data(), bytes);
        text[bytes] = '\0';
    }
    return static_cast<uint32_t>(std::min<size_t>(reason.size(), UINT32_MAX));
}

}  // namespace

uint32_t supportInfoFrom(const LayerSource& layer) {
    try {
        return layer().supportInfo();
    } catch (...) {
        return uint32_t{SS_FAILED_INIT} << 8;
    }
}

uint32_t sendThrough(const LayerSource& layer, SRBunion* srb) {
    try {
        return layer().send(srb);
    } catch (...) {
        if (srb) publishStatus(srb->exec.SRB_Status, SS_NO_RESOURCES);
        return SS_NO_RESOURCES;
    }
}

uint32_t layerFaultFrom(const LayerSource& layer, char* text, uint32_t size) {
    try {
        return copyText(layer().fault(), text, size);
    } catch (const std::exception& error) {
        try {
            return copyText(std::string("wnaspi32: cannot build the layer: ") + error.what(), text, size);
        } catch (...) {
        }
    } catch (...) {
    }
    // Without memory for a message, a fixed text still says why.
    return copyText("wnaspi32: cannot build the layer", text, size);
}

}  // namespace aspi
