// SPDX-License-Identifier: MIT
#include "state_text.h"
#include "outside_text.h"

#include <charconv>
#include <cstdio>
#include <set>
#include <sstream>
#include <vector>

namespace aspi::sim {

namespace {

constexpr const char* kMagic = "jukebox";
constexpr int kVersion = 1;

std::string hex16(uint32_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(v & 0xFFFF));
    return text;
}

std::string hex8(uint32_t v) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(v & 0xFF));
    return text;
}

[[noreturn]] void fail(int line, const std::string& what) {
    throw StateError("line " + std::to_string(line) + ": " + what);
}

template <typename T>
bool parseNumber(const std::string& word, int base, T& out, uint64_t max) {
    uint64_t value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value, base);
    if (word.empty() || ec != std::errc{} || ptr != end || value > max) return false;
    out = static_cast<T>(value);
    return true;
}

class LineReader {
public:
    LineReader(int number, std::vector<std::string> words) : m_number(number), m_words(std::move(words)) {}

    int number() const { return m_number; }
    size_t size() const { return m_words.size(); }
    const std::string& word(size_t i) const { return m_words.at(i); }

    void expectSize(size_t n) const {
        if (m_words.size() != n)
            fail(m_number, "'" + karvel::quotePrefix(m_words[0]) + "' takes " + std::to_string(n - 1) + " values");
    }
    uint16_t address(size_t i) const {
        uint16_t v;
        if (m_words[i].size() > 4 || !parseNumber(m_words[i], 16, v, 0xFFFF))
            fail(m_number, "'" + karvel::quotePrefix(m_words[i]) + "' is not an element address (hex 0000-FFFF)");
        return v;
    }
    uint8_t byte(size_t i) const {
        uint8_t v;
        if (m_words[i].size() > 2 || !parseNumber(m_words[i], 16, v, 0xFF))
            fail(m_number, "'" + karvel::quotePrefix(m_words[i]) + "' is not a hex byte");
        return v;
    }
    template <typename T>
    T decimal(const std::string& text, uint64_t max) const {
        T v;
        if (!parseNumber(text, 10, v, max))
            fail(m_number, "'" + karvel::quotePrefix(text) + "' is not a number from 0 to " + std::to_string(max));
        return v;
    }

private:
    int m_number;
    std::vector<std::string> m_words;
};

// Splits "key=value"; value is empty (and has_value false) for a bare word.
std::pair<std::string, std::optional<std::string>> splitKey(const std::string& word) {
    auto eq = word.find('=');
    if (eq == std::string::npos) return {word, std::nullopt};
    return {word.substr(0, eq), word.substr(eq + 1)};
}

Disc parseDisc(const LineReader& in) {
    Disc disc;
    bool haveId = false;
    for (size_t i = 2; i < in.size(); ++i) {
        auto [key, value] = splitKey(in.word(i));
        if (key == "id" && value) {
            disc.id = in.decimal<uint32_t>(*value, 0xFFFFFFFFu);
            haveId = true;
        } else if (key == "source" && value) {
            LineReader single(in.number(), {"source", *value});
            disc.source = single.address(1);
        } else if (key == "imported" && !value) {
            disc.imported = true;
        } else {
            fail(in.number(), "unknown disc attribute '" + karvel::quotePrefix(in.word(i)) + "'");
        }
    }
    if (!haveId) fail(in.number(), "a disc needs id=N");
    return disc;
}

Fault parseFault(const LineReader& in) {
    if (in.size() < 4) fail(in.number(), "'fault' takes KEY ASC ASCQ [count=N|always] [op=XX]");
    Fault fault;
    fault.key = in.byte(1);
    if (fault.key > 0x0F) fail(in.number(), "a sense key is 0-F");
    fault.asc = in.byte(2);
    fault.ascq = in.byte(3);
    for (size_t i = 4; i < in.size(); ++i) {
        auto [key, value] = splitKey(in.word(i));
        if (key == "count" && value) {
            fault.count = *value == "always" ? 0 : in.decimal<uint32_t>(*value, 1000000);
            if (*value != "always" && fault.count == 0)
                fail(in.number(), "count is at least 1 (or 'always')");
        } else if (key == "op" && value) {
            LineReader single(in.number(), {"op", *value});
            fault.opcode = single.byte(1);
        } else {
            fail(in.number(), "unknown fault attribute '" + karvel::quotePrefix(in.word(i)) + "'");
        }
    }
    return fault;
}

}  // namespace

std::string formatState(const JukeboxState& state) {
    std::ostringstream out;
    out << "# Simulated jukebox of the sim transport (libwnaspi32). Addresses, bytes hexadecimal.\n"
           "# Edit only while no program uses it, or through the helpers of aspi/sim/sim_state.h.\n";
    out << kMagic << ' ' << kVersion << '\n';
    out << "target " << int{state.target} << '\n';
    out << "lun " << int{state.lun} << '\n';
    out << "transport " << hex16(state.transports.first) << ' ' << state.transports.count << '\n';
    out << "storage " << hex16(state.slots.first) << ' ' << state.slots.count << '\n';
    out << "port " << hex16(state.ports.first) << ' ' << state.ports.count << '\n';
    out << "drive " << hex16(state.drives.first) << ' ' << state.drives.count << '\n';
    for (const auto& [address, disc] : state.discs) {
        out << "disc " << hex16(address) << " id=" << disc.id;
        if (disc.source) out << " source=" << hex16(*disc.source);
        if (disc.imported) out << " imported";
        out << '\n';
    }
    for (int n = 0; n < state.groupCount(); ++n) {
        out << "records " << n << ' ';
        for (uint8_t b : state.recordGroup(n)) out << hex8(b);
        out << '\n';
    }
    if (state.initRange)
        out << "init-range " << hex16(state.initRange->first) << ' '
            << hex16(state.initRange->second) << '\n';
    if (!state.firmwareDigest.empty()) out << "firmware " << state.firmwareDigest << '\n';
    for (const Fault& f : state.faults) {
        out << "fault " << hex8(f.key) << ' ' << hex8(f.asc) << ' ' << hex8(f.ascq) << " count=";
        if (f.count == 0) out << "always";
        else out << f.count;
        if (f.opcode) out << " op=" << hex8(*f.opcode);
        out << '\n';
    }
    return out.str();
}

JukeboxState parseState(const std::string& text) {
    JukeboxState state;
    state.discs.clear();
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    bool sawMagic = false;
    std::set<std::string> seen;
    std::vector<std::pair<int, RecordGroup>> groups;
    while (std::getline(in, raw)) {
        ++number;
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream split(raw);
        std::vector<std::string> words;
        for (std::string w; split >> w;) words.push_back(w);
        if (words.empty()) continue;
        LineReader line(number, words);
        const std::string& key = words[0];
        if (!sawMagic) {
            if (key != kMagic || words.size() != 2)
                fail(number, "not a jukebox state file (expected 'jukebox 1' first)");
            if (words[1] != std::to_string(kVersion))
                fail(number, "state file version " + words[1] + " is not supported");
            sawMagic = true;
            continue;
        }
        bool single = key == "target" || key == "lun" || key == "transport" || key == "storage" ||
                      key == "port" || key == "drive" || key == "init-range" || key == "firmware";
        if (single && !seen.insert(key).second) fail(number, "'" + karvel::quotePrefix(key) + "' given twice");

        if (key == "target") {
            line.expectSize(2);
            state.target = line.decimal<uint8_t>(words[1], 15);
        } else if (key == "lun") {
            line.expectSize(2);
            state.lun = line.decimal<uint8_t>(words[1], 7);
        } else if (key == "transport" || key == "storage" || key == "port" || key == "drive") {
            line.expectSize(3);
            ElementRange range{line.address(1),
                               line.decimal<uint16_t>(words[2], key == "storage" ? kMaxSlots
                                                                                 : kMaxOtherElements)};
            (key == "transport" ? state.transports
             : key == "storage" ? state.slots
             : key == "port"    ? state.ports
                                : state.drives) = range;
        } else if (key == "disc") {
            if (words.size() < 3) fail(number, "'disc' takes ADDRESS id=N [source=ADDRESS] [imported]");
            uint16_t address = line.address(1);
            if (state.discs.count(address)) fail(number, "two discs at " + hex16(address));
            state.discs[address] = parseDisc(line);
        } else if (key == "records") {
            line.expectSize(3);
            int group = line.decimal<int>(words[1], 255);
            const std::string& hex = words[2];
            if (hex.size() != 2 * kRecordGroupBytes) fail(number, "records are 26 hex digits");
            RecordGroup bytes{};
            for (size_t i = 0; i < kRecordGroupBytes; ++i) {
                LineReader pair(number, {"records", hex.substr(2 * i, 2)});
                bytes[i] = pair.byte(1);
            }
            for (const auto& g : groups)
                if (g.first == group) fail(number, "records of group " + words[1] + " given twice");
            groups.emplace_back(group, bytes);
        } else if (key == "init-range") {
            line.expectSize(3);
            state.initRange = std::pair{line.address(1), line.address(2)};
        } else if (key == "firmware") {
            line.expectSize(2);
            if (words[1].size() != 64 || words[1].find_first_not_of("0123456789abcdef") != std::string::npos)
                fail(number, "firmware is a SHA-256 digest (64 lower-case hex digits)");
            state.firmwareDigest = words[1];
        } else if (key == "fault") {
            state.faults.push_back(parseFault(line));
        } else {
            fail(number, "unknown line '" + karvel::quotePrefix(key) + "'");
        }
    }
    if (!sawMagic) throw StateError("empty: not a jukebox state file");
    for (const char* required : {"target", "lun", "transport", "storage", "port", "drive"})
        if (!seen.count(required)) throw StateError(std::string("no '") + required + "' line");

    state.records.assign(state.slots.count, false);
    for (const auto& [group, bytes] : groups) {
        if (group >= state.groupCount())
            throw StateError("records of group " + std::to_string(group) + ", past the last slot");
        state.setRecordGroup(group, bytes);
    }
    if (auto fault = stateFault(state)) throw StateError(*fault);
    return state;
}

}  // namespace aspi::sim
