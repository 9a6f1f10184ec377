// SPDX-License-Identifier: MIT
// A real SMC changer for tests: tgtd (the Linux SCSI target daemon) on a loopback port, with
// one iSCSI target holding a changer LUN and two DVD drive LUNs as its data transfer elements,
// and an ASPI32 configuration file whose only line is that portal.
//
// The libwnaspi32.so layer reads its configuration once per process, so every TgtChanger of one
// process uses the same port, control number, target name and configuration file: a new
// TgtChanger is a fresh changer (discs back in their slots) behind the same portal, and the
// layer's session reconnects to it. Only one TgtChanger may live at a time. Needs root (tgtd).
//
// What tgt's changer does that a test must know: LUN 0 is tgt's own controller (type 0Ch);
// MODE SENSE answers with an 8-byte block descriptor; READ ELEMENT STATUS ignores the number of
// elements and reports from the starting address until the allocation length is used; the last
// data transfer element never reports the source storage element of its disc; REZERO UNIT,
// READ BUFFER and POSITION TO ELEMENT are ILLEGAL REQUEST 20h/00h; the first command of a new
// session (not INQUIRY) gets UNIT ATTENTION 29h/00h; SendTargets lists the newest target first.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace karvel::test {

struct TgtChangerLayout {
    uint16_t pickerAddress = 0x40;  // tgt refuses a medium transport element at address 0
    uint16_t firstPort = 0x10;      // import/export elements
    uint16_t portCount = 1;
    uint16_t firstSlot = 0x100;     // storage elements
    uint16_t slotCount = 10;
    uint16_t firstDrive = 0x01;     // data transfer elements, one DVD LUN each
    uint16_t driveCount = 2;
    std::vector<uint16_t> fullSlots = {0, 1, 2};  // slot indices holding a disc at the start
    std::string chapUser;      // when set, the target wants CHAP and the configuration line has it
    std::string chapPassword;
};

class TgtChanger {
public:
    // Starts tgtd and configures the changer; throws std::runtime_error (with tgtd's and
    // tgtadm's own words) when that fails. Also sets ASPI32_CONFIG to configPath().
    explicit TgtChanger(TgtChangerLayout layout = {});
    // Deletes the target and the system, waits for tgtd to end and removes its files.
    ~TgtChanger();
    TgtChanger(const TgtChanger&) = delete;
    TgtChanger& operator=(const TgtChanger&) = delete;

    // Ends tgtd abruptly (SIGKILL), as a crashed or unplugged target would.
    void kill();
    // Stops tgtd (SIGSTOP) with its connections open, as a hung target; thaw() lets it go on.
    void freeze();
    void thaw();
    // Starts tgtd again on the same port and configures the changer afresh.
    void restart();
    // Runs tgtadm with args on this tgtd (after "-C N --lld iscsi"), for tests that shape more
    // targets or LUNs; throws std::runtime_error with tgtadm's words when it fails. The changer
    // is target 1 (tid); a restart forgets what this added.
    void tgtadm(const std::vector<std::string>& args);

    uint16_t port() const { return m_port; }
    int controlNumber() const { return m_control; }
    const std::string& targetName() const { return m_targetName; }
    // Returns "iscsi://127.0.0.1:PORT".
    std::string portalUrl() const;
    // The ASPI32 configuration file: one line "iscsi iscsi://127.0.0.1:PORT [user= password=]".
    const std::string& configPath() const { return m_configPath; }
    const TgtChangerLayout& layout() const { return m_layout; }

    // The target's LUNs: the changer, and drive i's DVD LUN.
    static constexpr uint8_t kChangerLun = 1;
    static uint8_t driveLun(unsigned drive) { return static_cast<uint8_t>(2 + drive); }

private:
    void start();
    void configure();
    void stop();

    TgtChangerLayout m_layout;
    uint16_t m_port = 0;
    int m_control = 0;
    std::string m_targetName;
    std::string m_directory;  // this process's backing files and logs
    std::string m_configPath;
    pid_t m_tgtd = -1;
};

}  // namespace karvel::test
