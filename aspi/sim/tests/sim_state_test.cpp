// SPDX-License-Identifier: MIT
// The jukebox's configuration line, its seeded geometry and its state file text.
#include <gtest/gtest.h>

#include "sim/sim_state.h"
#include "sim_test_support.h"

namespace aspi::sim::testing {
namespace {

SimSettings settings(std::vector<std::string> keys) {
    TransportLine line{"/etc/karvel/wnaspi32.conf", 3, "sim", {"jukebox.state"}};
    line.args.insert(line.args.end(), keys.begin(), keys.end());
    return parseSimLine(line);
}

struct Layout {
    ElementRange transports, slots, ports, drives;
    bool operator==(const Layout&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Layout& l) {
    for (const auto& r : {l.transports, l.slots, l.ports, l.drives}) out << std::hex << r.first << "x" << std::dec << r.count << " ";
    return out;
}

TEST(SimGeometry, ElementRangesNeverOverlap) {
    const std::pair<std::vector<std::string>, Layout> cases[] = {
        {{}, {{0x0000, 1}, {0x0001, 50}, {0x0033, 1}, {0x4000, 2}}},
        {{"slots=47"}, {{0x0000, 1}, {0x0001, 47}, {0x0030, 1}, {0x4000, 2}}},
        {{"first_drive=4002"}, {{0x0000, 1}, {0x0001, 50}, {0x0033, 1}, {0x4002, 2}}},
        {{"slots=10", "first_drive=0010"}, {{0x0000, 1}, {0x0001, 10}, {0x0030, 1}, {0x0010, 2}}},
        {{"slots=25600"}, {{0x0000, 1}, {0x0001, 25600}, {0x6401, 1}, {0x6402, 2}}},
        {{"transports=2", "ports=3", "drives=4"}, {{0x0000, 2}, {0x0002, 50}, {0x0034, 3}, {0x4000, 4}}},
        {{"first_storage=0100", "slots=20"}, {{0x0000, 1}, {0x0100, 20}, {0x0030, 1}, {0x4000, 2}}},
        {{"slots=0", "ports=0"}, {{0x0000, 1}, {0x0001, 0}, {0x0030, 0}, {0x4000, 2}}},
    };
    for (const auto& [keys, layout] : cases) {
        JukeboxState s = seededState(settings(keys).seed);
        EXPECT_EQ((Layout{s.transports, s.slots, s.ports, s.drives}), layout) << ::testing::PrintToString(keys);
    }
}

TEST(SimGeometry, SeedsDiscsAndMatchingRecords) {
    const std::pair<std::vector<std::string>, std::vector<uint32_t>> cases[] = {
        {{"slots=10"}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {{"full=1-3,7"}, {1, 2, 3, 7}},
        {{"full="}, {}},
    };
    for (const auto& [keys, ids] : cases) {
        JukeboxState s = seededState(settings(keys).seed);
        std::vector<uint32_t> seen;
        for (const auto& [address, disc] : s.discs) {
            EXPECT_EQ(address, s.slotAddress(static_cast<int>(disc.id)));
            EXPECT_TRUE(s.recordedFull(address));
            seen.push_back(disc.id);
        }
        EXPECT_EQ(seen, ids) << ::testing::PrintToString(keys);
    }
}

TEST(SimConfigLine, TakesPathKeysAndBehaviour) {
    SimSettings s = settings({"target=5", "lun=1", "move_ms=250", "block_descriptor=8", "operator=off"});
    EXPECT_EQ(s.statePath, "/etc/karvel/jukebox.state");  // beside the configuration file
    EXPECT_EQ(std::pair(s.seed.target, s.seed.lun), std::pair(uint8_t{5}, uint8_t{1}));
    EXPECT_EQ(s.behaviour.moveTime, std::chrono::milliseconds(250));
    EXPECT_EQ(s.behaviour.blockDescriptorLength, 8);
    EXPECT_FALSE(s.behaviour.operatorLoads);
    EXPECT_EQ(parseSimLine({"c", 1, "sim", {"/var/jukebox"}}).statePath, "/var/jukebox");
}

TEST(SimConfigLine, RefusesBadKeysAndValues) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "expected the jukebox's state file"},
        {{"slots=50"}, "expected the jukebox's state file"},
        {{"p", "slots=abc"}, "slots=abc: expected a number 0-25600"},
        {{"p", "slots=25601"}, "slots=25601"},
        {{"p", "target=16"}, "target=16"},
        {{"p", "lun=8"}, "lun=8"},
        {{"p", "drives=255"}, "drives=255"},
        {{"p", "bogus=1"}, "unknown key 'bogus'"},
        {{"p", "slots"}, "expected key=value"},
        {{"p", "slots=5", "slots=6"}, "slots given twice"},
        {{"p", "slots=5", "full=7"}, "slot 7 is past the last slot"},
        {{"p", "full=3-1"}, "'3-1' is not a slot"},
        {{"p", "full=0"}, "'0' is not a slot"},
        {{"p", "first_drive=12345"}, "first_drive=12345: expected a hex address"},
        {{"p", "first_storage=0", "first_transport=0"}, "overlap"},
        {{"p", "first_drive=FFFF"}, "past address FFFFh"},
        {{"p", "block_descriptor=4"}, "expected 0 or 8"},
        {{"p", "move_ms=-1"}, "move_ms=-1"},
        {{"p", "operator=maybe"}, "operator=maybe: expected on or off"},
        {{"p", "slots=10", "full=5-12"}, "full: slot 11 is past the last slot (10)"},
        {{"p", "slots=10", "full=11-12"}, "full: slot 11 is past the last slot (10)"},
        {{"p", "full=1-10,8-12"}, "full: slot 8 is given twice ('8-12')"},
        {{"p", "full=4,4"}, "full: slot 4 is given twice ('4')"},
        {{"p", "full=1-99999999999999999999"}, "full=99999999999999999999: expected a number 0-25600"},
    };
    for (const auto& [args, fault] : cases) {
        TransportLine line{"conf", 1, "sim", args};
        try {
            parseSimLine(line);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(args);
        } catch (const ConfigError& error) {
            EXPECT_NE(std::string(error.what()).find(fault), std::string::npos)
                << ::testing::PrintToString(args) << ": " << error.what();
        }
    }
}

TEST(SimConfigLine, FullListsTheSlotsEachOnceInOrder) {
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"full=", {}},
        {"full=none", {}},
        {"full=7", {7}},
        {"full=9-10,1-3,5", {1, 2, 3, 5, 9, 10}},
        {"full=1-10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const auto& [word, slots] : cases) {
        SimSettings s = parseSimLine({"c", 1, "sim", {"p", "slots=10", word}});
        ASSERT_TRUE(s.seed.full) << word;
        EXPECT_EQ(*s.seed.full, slots) << word;
    }
}

TEST(SimConfigLine, ABadValueOfAnySizeIsQuotedByAShortPrefix) {
    // Megabytes of overlapping ranges, and a megabyte of garbage: refused at once, and the
    // message quotes 40 characters of it.
    std::string ranges = "full=";
    while (ranges.size() < (1u << 20)) ranges += "1-25600,";
    const std::string garbage = "move_ms=" + std::string(1u << 20, '\x1b');
    std::string escapedPrefix;
    for (int i = 0; i < 40; ++i) escapedPrefix += "\\x1b";
    const std::pair<std::string, std::string> cases[] = {
        {ranges, "sim: full: slot 1 is given twice ('1-25600')"},
        {garbage, "sim: move_ms=" + escapedPrefix + "...: expected a number 0-600000"},
    };
    for (const auto& [word, fault] : cases) {
        try {
            parseSimLine({"c", 1, "sim", {"p", "slots=25600", word}});
            ADD_FAILURE() << "accepted " << word.substr(0, 40);
        } catch (const ConfigError& error) {
            EXPECT_EQ(error.what(), fault);
        }
    }
}

TEST(SimStateText, KeepsEveryFactAcrossFormatAndParse) {
    Seed seed;
    seed.slots = 150;
    seed.full = std::vector<int>{1, 2, 101, 150};
    JukeboxState s = seededState(seed);
    s.discs[0x4001] = Disc{7, 0x0007, false};
    s.discs[0x0097] = Disc{99, std::nullopt, true};  // a port
    s.setRecord(0x0002, false);                    // records that disagree with the truth
    s.setRecord(0x0003, true);
    s.initRange = std::pair<uint16_t, uint16_t>{0x0005, 0x0020};
    s.firmwareDigest = std::string(64, 'a');
    s.faults = {{2, 0x53, 0x81, 0xA5, 1}, {4, 0x15, 0x01, std::nullopt, 0}};
    EXPECT_EQ(parseState(formatState(s)), s);
}

TEST(SimStateText, NamesTheFaultOfADamagedFile) {
    const std::string head = "jukebox 1\ntarget 0\nlun 0\ntransport 0000 1\nstorage 0001 10\nport 0030 1\n";
    const std::pair<std::string, const char*> cases[] = {
        {"", "not a jukebox state file"},
        {"\x7f" "ELF\x02\x01", "line 1: not a jukebox state file"},
        {"jukebox 2\n", "version 2 is not supported"},
        {head, "no 'drive' line"},
        {head + "drive 4000 2\ntarget 1\n", "line 8: 'target' given twice"},
        {head + "drive 4000 2\nfrobnicate 1\n", "line 8: unknown line 'frobnicate'"},
        {head + "drive 0005 2\n", "storage and drive element addresses overlap"},
        {head + "drive 4000 2\ndisc 9000 id=1\n", "a disc at 9000, which is no element"},
        {head + "drive 4000 2\ndisc 0001 id=1\ndisc 0001 id=2\n", "line 9: two discs at 0001"},
        {head + "drive 4000 2\ndisc 0001\n", "'disc' takes ADDRESS id=N"},
        {head + "drive 4000 2\ndisc 0001 imported\n", "a disc needs id=N"},
        {head + "drive 4000 2\ndisc 0001 id=1 colour=red\n", "unknown disc attribute 'colour=red'"},
        {head + "drive 4000 2\nrecords 0 FFFF\n", "records are 26 hex digits"},
        {head + "drive 4000 2\nrecords 0 FFFFFFFFFFFFFFFFFFFFFFFFZZ\n", "'ZZ' is not a hex byte"},
        {head + "drive 4000 2\nrecords 1 00000000000000000000000000\n", "records of group 1, past the last slot"},
        {head + "drive 4000 2\nfault 2 04\n", "'fault' takes KEY ASC ASCQ"},
        {head + "drive 4000 2\nfault 12 04 03\n", "a sense key is 0-F"},
        {head + "drive 4000 2\nfault 2 04 03 count=0\n", "count is at least 1"},
        {head + "drive 4000 2\nfirmware 1234\n", "firmware is a SHA-256 digest"},
        {head + "drive 40000 2\n", "'40000' is not an element address"},
        // A huge bad word is quoted by its first 40 characters.
        {head + "drive 4000 2\n" + std::string(1u << 20, 'x') + " 1\n",
         "line 8: unknown line 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...'"},
    };
    for (const auto& [text, fault] : cases) {
        try {
            parseState(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const StateError& error) {
            EXPECT_NE(std::string(error.what()).find(fault), std::string::npos) << text << "-> " << error.what();
        }
    }
}

TEST(SimStateHelpers, EditHoldsTheLockAndRefusesUnsoundStates) {
    ScratchDir dir;
    std::string path = dir.path("jukebox");
    EXPECT_THROW(loadState(path), StateError);
    createState(path, Seed{});
    editState(path, [](JukeboxState& s) { s.discs.erase(s.slotAddress(1)); });
    EXPECT_EQ(loadState(path).discAt(0x0001), nullptr);
    std::string before = readFile(path);
    EXPECT_THROW(editState(path, [](JukeboxState& s) { s.discs[0x9000] = Disc{1, std::nullopt, false}; }), std::invalid_argument);
    EXPECT_EQ(readFile(path), before);
}

}  // namespace
}  // namespace aspi::sim::testing
