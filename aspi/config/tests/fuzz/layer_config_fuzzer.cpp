// SPDX-License-Identifier: MIT
// libFuzzer target for the layer's configuration file: the input is the file's text, split
// into lines as the layer does it, and each sim and iscsi line is read by its transport's line
// parser. A line the layer cannot use must be refused with a ConfigError (anything else that
// escapes is a finding), the refusal must never quote the CHAP secret, and a full= list is
// each slot once within the jukebox.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "aspi_config/iscsi_portal.h"
#include "aspi_config/layer_config.h"
#include "sim/sim_config.h"

namespace {

constexpr const char* kFile = "/etc/karvel/wnaspi32.conf";
// Stands in for every CHAP secret of an iscsi line, so that the secret is told apart from the
// parser's own words in a refusal.
constexpr std::string_view kSecret = "\x7f<secret>\x7f";

void readIscsi(aspi::TransportLine line) {
    bool written = false;  // the line itself holds the stand-in
    for (const std::string& word : line.args) written = written || word.find(kSecret) != std::string::npos;
    for (size_t i = 1; i < line.args.size(); ++i)
        if (line.args[i].starts_with("password=") && line.args[i].size() > 9)
            line.args[i] = "password=" + std::string(kSecret);
    try {
        const aspi::IscsiPortal portal = aspi::parseIscsiLine(line);
        if (portal.host.empty() || portal.port == 0) std::abort();
        (void)portal.url();
    } catch (const aspi::ConfigError& error) {
        if (!written && std::string_view(error.what()).find(kSecret) != std::string_view::npos)
            std::abort();
    }
}

void readSim(const aspi::TransportLine& line) {
    try {
        const aspi::sim::SimSettings settings = aspi::sim::parseSimLine(line);
        if (settings.statePath.empty()) std::abort();
        // full= names each slot once, in order, within the jukebox: its size is bounded by the
        // slots, never by the numbers written.
        if (const auto& full = settings.seed.full) {
            int previous = 0;
            for (int slot : *full) {
                if (slot <= previous || slot > settings.seed.slots) std::abort();
                previous = slot;
            }
        }
    } catch (const aspi::ConfigError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int previous = 0;
    for (const aspi::TransportLine& line : aspi::parseConfig(text, kFile)) {
        if (line.file != kFile || line.number <= previous || line.transport.empty()) std::abort();
        previous = line.number;
        if (line.transport == "sim") readSim(line);
        else if (line.transport == "iscsi") readIscsi(line);
    }
    return 0;
}
