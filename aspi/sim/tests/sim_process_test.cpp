// SPDX-License-Identifier: MIT
// Two programs on one jukebox, each a process of its own that opens libwnaspi32 with only
// a sim line in its configuration: one sees what the other did, and moves made at the same
// time are neither lost nor made twice.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "sim/sim_state.h"
#include "sim_test_support.h"
#include <karvel/wnaspi32.h>

namespace aspi::sim::testing {
namespace {

using Bytes = std::vector<uint8_t>;

// Runs body in a new process started from this one; returns the pid.
pid_t spawn(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    return pid;
}

int exitCode(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The child's view of one command through SendASPI32Command.
struct Sent {
    uint8_t status, key, asc, ascq;
    Bytes data;
};

Sent sendAspi(uint8_t target, uint8_t lun, Bytes cdb, size_t length = 0) {
    SRBunion srb{};
    Bytes data(length, 0);
    srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.exec.SRB_Target = target;
    srb.exec.SRB_Lun = lun;
    srb.exec.SRB_SenseLen = SENSE_LEN;
    srb.exec.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
    std::memcpy(srb.exec.CDBByte, cdb.data(), cdb.size());
    srb.exec.SRB_BufLen = static_cast<uint32_t>(length);
    srb.exec.SRB_BufPointer = length ? data.data() : nullptr;
    uint8_t status = static_cast<uint8_t>(SendASPI32Command(&srb));
    return {status, uint8_t(srb.exec.SenseArea[2] & 0x0F), srb.exec.SenseArea[12], srb.exec.SenseArea[13], data};
}

// Finds the first medium changer as the program's discovery does; -1 when there is none.
int discover() {
    uint32_t support = GetASPI32SupportInfo();
    if (((support >> 8) & 0xFF) != SS_COMP) return -1;
    for (int ha = 0; ha < static_cast<int>(support & 0xFF); ++ha)
        for (int t = 0; t < 16; ++t)
            for (int lun = 0; lun < 8; ++lun) {
                SRBunion srb{};
                srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
                srb.gdev.SRB_HaId = static_cast<uint8_t>(ha);
                srb.gdev.SRB_Target = static_cast<uint8_t>(t);
                srb.gdev.SRB_Lun = static_cast<uint8_t>(lun);
                if (SendASPI32Command(&srb) == SS_COMP && srb.gdev.SRB_DeviceType == 8) return t * 8 + lun;
            }
    return -1;
}

struct Programs : ::testing::Test {
    Programs() {
        writeFile(config, "# one simulated jukebox\nsim " + state + " target=4\n");
        ::setenv("ASPI32_CONFIG", config.c_str(), 1);  // inherited by every child
    }
    ~Programs() override { ::unsetenv("ASPI32_CONFIG"); }

    ScratchDir dir;
    std::string config = dir.path("wnaspi32.conf");
    std::string state = dir.path("jukebox");
};

TEST_F(Programs, ASecondProgramSeesTheMovesOfTheFirst) {
    pid_t first = spawn([] {
        if (discover() != 4 * 8) return 1;
        Sent inquiry = sendAspi(4, 0, {0x12, 0, 0, 0, 47, 0}, 47);
        if (inquiry.status != SS_COMP || std::memcmp(&inquiry.data[8], "KARVEL  ", 8) != 0) return 2;
        if (sendAspi(4, 0, kTestUnitReady).key != 6) return 3;
        Sent geometry = sendAspi(4, 0, {0x1A, 0, 0x1D, 0, 31, 0}, 31);
        if (geometry.status != SS_COMP || geometry.data[14] != 0x00 || geometry.data[15] != 0x33) return 4;
        if (sendAspi(4, 0, moveCdb(0x0001, 0x4000)).status != SS_COMP) return 5;
        Sent refused = sendAspi(4, 0, moveCdb(0x0001, 0x4001));
        if (refused.status != SS_ERR || refused.asc != 0x3B || refused.ascq != 0x0E) return 6;
        return 0;
    });
    ASSERT_EQ(exitCode(first), 0);

    pid_t second = spawn([] {
        if (discover() != 4 * 8) return 1;
        if (sendAspi(4, 0, kTestUnitReady).key != 6) return 2;  // a new initiator
        Sent drive = sendAspi(4, 0, statusCdb(4, 0x4000, 1, 32), 32);
        if (drive.status != SS_COMP || drive.data[18] != 0x09 || drive.data[27] != 0x01) return 3;
        Sent records = sendAspi(4, 0, {0x3C, 2, 0, 0, 0, 0, 0, 0, 13, 0}, 13);
        if (records.status != SS_COMP || records.data[0] != 0x7F) return 4;
        return 0;
    });
    EXPECT_EQ(exitCode(second), 0);
}

TEST_F(Programs, MovesMadeAtOnceAreNeitherLostNorDoubled) {
    createState(state, Seed{.target = 4});
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    // Both programs try the same twenty moves; each disc must move exactly once.
    auto mover = [&] {
        ::close(go[1]);
        char byte;
        if (::read(go[0], &byte, 1) != 1) return 98;
        sendAspi(4, 0, kTestUnitReady);
        int moved = 0;
        for (uint16_t k = 1; k <= 20; ++k) {
            Sent r = sendAspi(4, 0, moveCdb(k, static_cast<uint16_t>(30 + k)));
            if (r.status == SS_COMP) ++moved;
            else if (r.asc != 0x3B || (r.ascq != 0x0E && r.ascq != 0x0D)) return 97;
        }
        return moved;
    };
    pid_t a = spawn(mover), b = spawn(mover);
    ::close(go[0]);
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    ::close(go[1]);
    int movedA = exitCode(a), movedB = exitCode(b);
    EXPECT_EQ(movedA + movedB, 20) << movedA << " + " << movedB;

    JukeboxState s = loadState(state);
    EXPECT_EQ(s.discs.size(), 30u);
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(s.discAt(s.slotAddress(k)), nullptr) << k;
        const Disc* disc = s.discAt(s.slotAddress(30 + k));
        ASSERT_NE(disc, nullptr) << k;
        EXPECT_EQ(disc->id, static_cast<uint32_t>(k));
        EXPECT_FALSE(s.recordedFull(s.slotAddress(k)));
        EXPECT_TRUE(s.recordedFull(s.slotAddress(30 + k)));
    }
}

}  // namespace
}  // namespace aspi::sim::testing
