// SPDX-License-Identifier: MIT
// The host adapter layer behind GetASPI32SupportInfo and SendASPI32Command:
// a list of host adapters, each served by one transport.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transport.h"

namespace aspi {

// Largest data phase one request may carry; bigger ones end with SS_BUFFER_TO_BIG.
inline constexpr uint32_t kMaxTransferLength = 16u * 1024 * 1024;

// Host adapters one layer serves: SRB_HaId and the support value's count are one byte.
inline constexpr size_t kMaxAdapters = 255;

// Largest configuration file the layer reads; a real one is a few lines.
inline constexpr uint64_t kLayerConfigLimit = 1u << 20;

class AspiLayer {
public:
    // A ready layer serving these adapters, numbered from 0 in order.
    explicit AspiLayer(std::vector<std::unique_ptr<Transport>> adapters);

    // A layer that is not ready; fault is the one-line reason already reported.
    static AspiLayer notReady(std::string fault);

    // What a configuration file that does not exist means: the default set for the default
    // paths, an error for a path the user named.
    enum class MissingFile { useDefault, isFault };

    // Builds the layer from the configuration file at path (the default set when it does not
    // exist, unless missing says otherwise); a line it cannot use, a path that is no regular
    // file (a directory, a FIFO) or a file over kLayerConfigLimit makes it not ready and is
    // reported once on stderr.
    static AspiLayer fromConfigFile(const std::string& path, MissingFile missing = MissingFile::useDefault);

    // Returns the support value: bits 0-7 adapter count, bits 8-15 SS_COMP or SS_FAILED_INIT.
    uint32_t supportInfo() const;

    // Carries out srb (owned by the caller) and returns its final status; never throws.
    uint32_t send(SRBunion* srb);

    bool ready() const { return m_ready; }
    // Why the layer is not ready, or why a ready one serves no adapter; empty otherwise.
    const std::string& fault() const { return m_fault; }

private:
    uint8_t getDeviceType(SRB_GDEVBlock& block);
    uint8_t execute(SRB_ExecSCSICmd& block);

    std::vector<std::unique_ptr<Transport>> m_adapters;
    bool m_ready = true;
    std::string m_fault;
};

// Returns the transport factory for a configuration line's first word, or null.
TransportFactory factoryFor(const std::string& transport);

}  // namespace aspi
