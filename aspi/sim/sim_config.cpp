// SPDX-License-Identifier: MIT
#include "sim_config.h"

#include <charconv>
#include <filesystem>
#include <functional>
#include <set>
#include <string_view>

#include "outside_text.h"

namespace aspi::sim {

namespace {

uint64_t number(std::string_view key, std::string_view text, int base, uint64_t max) {
    uint64_t value = 0;
    if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
    if (base == 16 && (text.ends_with('h') || text.ends_with('H'))) text.remove_suffix(1);
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end || value > max) {
        char range[64];
        std::snprintf(range, sizeof range, base == 16 ? "a hex address 0000-%04llX" : "a number 0-%llu",
                      static_cast<unsigned long long>(max));
        throw ConfigError("sim: " + std::string(key) + "=" + karvel::quotePrefix(text) + ": expected " + range);
    }
    return value;
}

// The slots of a full= list, each once, in ascending order. A slot given twice (also through
// overlapping ranges) is an error rather than merged: the list says which slots hold a disc,
// and a slot named twice is most likely a typo. Work and memory grow with the list's length
// and the jukebox's slots, never with the numbers in the list.
std::vector<int> slotList(std::string_view text, uint16_t slots) {
    std::vector<int> full;
    if (text == "none" || text.empty()) return full;
    std::vector<bool> taken(size_t{slots} + 1);
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string_view item = text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        size_t dash = item.find('-');
        uint64_t low = number("full", item.substr(0, dash), 10, kMaxSlots);
        uint64_t high = dash == std::string_view::npos ? low : number("full", item.substr(dash + 1), 10, kMaxSlots);
        if (low == 0 || high < low)
            throw ConfigError("sim: full=" + karvel::quotePrefix(text) + ": '" + karvel::quotePrefix(item) +
                              "' is not a slot or range of slots (like 1-10,25)");
        if (high > slots)
            throw ConfigError("sim: full: slot " + std::to_string(std::max<uint64_t>(low, slots + 1)) +
                              " is past the last slot (" + std::to_string(slots) + ")");
        // Each slot is marked at most once before a repeat fails, so this loop runs at most
        // `slots` times over the whole list.
        for (uint64_t n = low; n <= high; ++n) {
            if (taken[n])
                throw ConfigError("sim: full: slot " + std::to_string(n) + " is given twice ('" +
                                  karvel::quotePrefix(item) + "')");
            taken[n] = true;
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    for (size_t n = 1; n < taken.size(); ++n)
        if (taken[n]) full.push_back(static_cast<int>(n));
    return full;
}

std::chrono::milliseconds duration(std::string_view key, std::string_view text) {
    return std::chrono::milliseconds(number(key, text, 10, 600000));
}

}  // namespace

SimSettings parseSimLine(const TransportLine& line) {
    if (line.args.empty() || line.args[0].find('=') != std::string::npos)
        throw ConfigError("sim: expected the jukebox's state file: sim PATH [key=value ...]");
    SimSettings settings;
    std::filesystem::path path(line.args[0]);
    if (path.is_relative() && !line.file.empty() && line.file.front() != '(')
        path = std::filesystem::path(line.file).parent_path() / path;
    settings.statePath = path.string();

    Seed& seed = settings.seed;
    Behaviour& behaviour = settings.behaviour;
    using Apply = std::function<void(std::string_view key, std::string_view value)>;
    std::optional<std::string_view> fullText;  // read once the number of slots is known
    auto address = [](std::optional<uint16_t>& out) {
        return [&out](std::string_view k, std::string_view v) { out = static_cast<uint16_t>(number(k, v, 16, 0xFFFF)); };
    };
    auto count = [](uint16_t& out, uint16_t max) {
        return [&out, max](std::string_view k, std::string_view v) { out = static_cast<uint16_t>(number(k, v, 10, max)); };
    };
    const std::pair<const char*, Apply> keys[] = {
        {"target", [&](auto k, auto v) { seed.target = static_cast<uint8_t>(number(k, v, 10, 15)); }},
        {"lun", [&](auto k, auto v) { seed.lun = static_cast<uint8_t>(number(k, v, 10, 7)); }},
        {"slots", count(seed.slots, kMaxSlots)},
        {"drives", count(seed.drives, kMaxOtherElements)},
        {"transports", count(seed.transports, kMaxOtherElements)},
        {"ports", count(seed.ports, kMaxOtherElements)},
        {"full", [&](auto, auto v) { fullText = v; }},
        {"first_transport", address(seed.firstTransport)},
        {"first_storage", address(seed.firstStorage)},
        {"first_port", address(seed.firstPort)},
        {"first_drive", address(seed.firstDrive)},
        {"block_descriptor",
         [&](auto k, auto v) {
             uint64_t n = number(k, v, 10, 8);
             if (n != 0 && n != 8) throw ConfigError("sim: block_descriptor=" + karvel::quotePrefix(v) + ": expected 0 or 8");
             behaviour.blockDescriptorLength = static_cast<uint8_t>(n);
         }},
        {"move_ms", [&](auto k, auto v) { behaviour.moveTime = duration(k, v); }},
        {"rezero_ms", [&](auto k, auto v) { behaviour.rezeroTime = duration(k, v); }},
        {"init_ms", [&](auto k, auto v) { behaviour.initTime = duration(k, v); }},
        {"operator",
         [&](auto, auto v) {
             if (v != "on" && v != "off") throw ConfigError("sim: operator=" + karvel::quotePrefix(v) + ": expected on or off");
             behaviour.operatorLoads = v == "on";
         }},
    };

    std::set<std::string> given;
    for (size_t i = 1; i < line.args.size(); ++i) {
        std::string_view word = line.args[i];
        size_t eq = word.find('=');
        if (eq == std::string_view::npos)
            throw ConfigError("sim: '" + karvel::quotePrefix(word) + "': expected key=value");
        std::string_view key = word.substr(0, eq), value = word.substr(eq + 1);
        const Apply* apply = nullptr;
        for (const auto& [name, fn] : keys)
            if (key == name) apply = &fn;
        if (!apply) {
            std::string known;
            for (const auto& [name, fn] : keys) known += std::string(known.empty() ? "" : ", ") + name;
            throw ConfigError("sim: unknown key '" + karvel::quotePrefix(key) + "' (known: " + known + ")");
        }
        if (!given.insert(std::string(key)).second)
            throw ConfigError("sim: " + std::string(key) + " given twice");
        (*apply)(key, value);
    }
    if (fullText) seed.full = slotList(*fullText, seed.slots);
    try {
        seededState(seed);  // an impossible layout is the line's fault, so say it now
    } catch (const std::invalid_argument& error) {
        throw ConfigError(std::string("sim: ") + error.what());
    }
    return settings;
}

}  // namespace aspi::sim
