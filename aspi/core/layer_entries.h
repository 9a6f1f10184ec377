// SPDX-License-Identifier: MIT
// The bodies of libwnaspi32.so's entries over a layer that is built at first use. Building
// it may throw (out of memory); the entries then answer for a layer that is not there.
#pragma once

#include <cstdint>
#include <functional>

#include "aspi_layer.h"

namespace aspi {

// Returns the layer, building it on the first call; may throw.
using LayerSource = std::function<AspiLayer&()>;

// GetASPI32SupportInfo: the layer's support value, or "not ready" when it cannot be built.
uint32_t supportInfoFrom(const LayerSource& layer);

// SendASPI32Command: carries out srb; when the layer cannot be built, writes SS_NO_RESOURCES
// into its status byte too, so a poller never reads the status left by the block's preparation.
uint32_t sendThrough(const LayerSource& layer, SRBunion* srb);

// GetASPI32LayerFault: copies the reason the layer serves nothing into text (size bytes, cut
// and always NUL-terminated when size > 0); returns the reason's whole length, 0 for none.
uint32_t layerFaultFrom(const LayerSource& layer, char* text, uint32_t size);

}  // namespace aspi
