// SPDX-License-Identifier: MIT
// Mount and UnMount against the simulated jukebox through the real ASPI layer: the disc
// really moves, as a READ ELEMENT STATUS from a fresh request block shows afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "byte_order.h"
#include "scratch_dir.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>

namespace karvel::test {
namespace {

constexpr uint8_t kStorage = 2;
constexpr uint8_t kDrive = 4;
constexpr uint16_t kFirstSlot = 0x0100;  // slots 1-10, discs in 1-5
constexpr uint16_t kFirstDrive = 0x0300;  // two drives

constexpr uint16_t slot(int n) { return static_cast<uint16_t>(kFirstSlot + n - 1); }
constexpr uint16_t drive(int n) { return static_cast<uint16_t>(kFirstDrive + n); }

// One jukebox per process: the layer reads its configuration once, at the first request.
class JukeboxFiles {
public:
    static const JukeboxFiles& get() {
        static JukeboxFiles files;
        return files;
    }
    std::string state() const { return (m_dir / "jukebox.state").string(); }

private:
    JukeboxFiles() {
        std::filesystem::path config = m_dir / "wnaspi32.conf";
        std::ofstream(config) << "sim " << state()
                              << " slots=10 drives=2 transports=1 ports=1 full=1-5"
                                 " first_transport=0000 first_storage=0100 first_port=0200 first_drive=0300\n";
        ::setenv("ASPI32_CONFIG", config.c_str(), 1);
    }
    karvel::test_support::ScratchDir m_scratch{"karvel-mount"};
    std::filesystem::path m_dir = m_scratch.root();
};

SRBunion changerBlock() {
    SRBunion srb{};
    srb.exec.SRB_HaId = 0;
    srb.exec.SRB_Target = 0;
    srb.exec.SRB_Lun = 0;
    return srb;
}

struct ElementState {
    uint8_t type;
    uint16_t address;
    bool full;
    std::optional<uint16_t> source;  // the slot the disc came from, when the changer knows it
    bool operator==(const ElementState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ElementState& e) {
    out << "{type " << int{e.type} << ", " << std::hex << e.address << (e.full ? " full" : " empty");
    if (e.source) out << " from " << *e.source;
    return out << std::dec << "}";
}

// Returns what the changer reports of one element, asked on a request block of its own.
ElementState reported(uint8_t type, uint16_t address) {
    SRBunion srb = changerBlock();
    uint8_t report[36] = {};
    EXPECT_EQ(ReadElementStatus(&srb, type, address, 1, sizeof report, report), SS_COMP);
    ElementState state{type, address, (report[18] & 0x01) != 0, std::nullopt};
    if (report[16 + 9] & 0x80) state.source = get_be16(report + 26);
    return state;
}

struct SimCase {
    const char* name;
    std::function<void(SRBunion*)> before;
    std::function<uint8_t(SRBunion*)> run;
    uint8_t result;
    uint8_t asc, ascq;  // sense of the last request
    std::vector<ElementState> after;
};

void PrintTo(const SimCase& c, std::ostream* os) { *os << c.name; }

void nothing(SRBunion*) {}

const SimCase kCases[] = {
    {"MountLoadsAnEmptyDrive", nothing, [](SRBunion* s) { return Mount(s, slot(3), drive(0), 0); },
     SS_COMP, 0, 0,
     {{kDrive, drive(0), true, slot(3)}, {kStorage, slot(3), false, {}}, {kDrive, drive(1), false, {}}}},
    {"MountSendsAFullDrivesDiscHomeFirst",
     [](SRBunion* s) { ASSERT_EQ(Mount(s, slot(3), drive(0), 0), SS_COMP); },
     [](SRBunion* s) { return Mount(s, slot(4), drive(0), 0); }, SS_COMP, 0, 0,
     {{kDrive, drive(0), true, slot(4)}, {kStorage, slot(3), true, drive(0)}, {kStorage, slot(4), false, {}}}},
    {"MountIgnoresItsThirdValue", nothing, [](SRBunion* s) { return Mount(s, slot(1), drive(1), 0x0200); },
     SS_COMP, 0, 0, {{kDrive, drive(1), true, slot(1)}, {kStorage, slot(1), false, {}}}},
    {"MountFromAnEmptySlotFailsTwiceAndLeavesTheDrive", nothing,
     [](SRBunion* s) { return Mount(s, slot(8), drive(0), 0); }, SS_ERR, 0x3B, 0x0E,
     {{kDrive, drive(0), false, {}}, {kStorage, slot(8), false, {}}}},
    {"UnMountSendsTheDiscHome", [](SRBunion* s) { ASSERT_EQ(Mount(s, slot(2), drive(1), 0), SS_COMP); },
     [](SRBunion* s) { return UnMount(s, drive(1), 0); }, SS_COMP, 0, 0,
     {{kDrive, drive(1), false, {}}, {kStorage, slot(2), true, drive(1)}}},
    {"UnMountOfAnEmptyDriveFails", nothing, [](SRBunion* s) { return UnMount(s, drive(0), 0); },
     SS_ERR, 0x3B, 0x0E, {{kDrive, drive(0), false, {}}}},
};

class SimulatedJukebox : public ::testing::TestWithParam<SimCase> {
protected:
    void SetUp() override {
        // A missing state file is seeded afresh: every case starts from the same jukebox.
        std::filesystem::remove(JukeboxFiles::get().state());
        SRBunion srb = changerBlock();
        TestUnitReady(&srb);  // takes the power-on unit attention of this process, if still due
    }
};

TEST_P(SimulatedJukebox, MovesTheDisc) {
    const SimCase& c = GetParam();
    SRBunion srb = changerBlock();
    c.before(&srb);
    EXPECT_EQ(c.run(&srb), c.result);
    EXPECT_EQ(srb.exec.SenseArea[12], c.asc);
    EXPECT_EQ(srb.exec.SenseArea[13], c.ascq);
    for (const auto& expected : c.after) EXPECT_EQ(reported(expected.type, expected.address), expected);
}

INSTANTIATE_TEST_SUITE_P(MountAndUnMount, SimulatedJukebox, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace karvel::test
