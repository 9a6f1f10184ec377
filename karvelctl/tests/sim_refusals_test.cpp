// SPDX-License-Identifier: MIT
// What karvelctl refuses, and what the changer refuses: exit codes and messages, and that
// nothing moved.
#include <gtest/gtest.h>

#include <tuple>

#include "exit_codes.h"
#include "sim_test_jukebox.h"

using namespace karvel::ctl;
using namespace karvel::ctl::test;

namespace {

using Words = std::vector<std::string>;
// what, commands run first, the command, exit code, the whole of stderr, the whole of stdout
using Case = std::tuple<const char*, std::vector<Words>, Words, int, std::string, std::string>;

constexpr const char* kJukebox = "slots=4 drives=2 ports=1 full=1,2,4";

// mtx's request-sense lines of fixed-format sense 70h, ILLEGAL REQUEST, with asc and ascq.
std::string illegalRequestLines(const std::string& asc, const std::string& ascq) {
    const std::string p = "mtx: Request Sense: ";
    return p + "Long Report=yes\n" + p + "Valid Residual=no\n" + p + "Error Code=70 (Current)\n" + p +
           "Sense Key=Illegal Request\n" + p + "FileMark=no\n" + p + "EOM=no\n" + p + "ILI=no\n" + p +
           "Additional Sense Code = " + asc + "\n" + p + "Additional Sense Qualifier = " + ascq + "\n" + p +
           "BPV=no\n" + p + "Error in CDB=no\n" + p + "SKSV=no\n";
}

std::string changerRefusal(const std::string& heading, const std::string& ascText, const std::string& codes) {
    return heading + "\n"
           "  ASPI Status: SCSI Error Detected (04h)\n"
           "  Host Status: No Error Detected (00h)\n"
           "  SCSI Status: Check Condition (02h)\n"
           "  Sense Key: Illegal Request (5h)\n"
           "  ASC/ASCQ: " + ascText + " (" + codes + ")\n";
}

class SimRefusal : public testing::TestWithParam<Case> {};

TEST_P(SimRefusal, ExitsWithItsCodeAndMessage) {
    const auto& [what, before, command, exitCode, message, printed] = GetParam();
    SimJukebox jukebox(kJukebox);
    for (const Words& words : before)
        ASSERT_EQ(jukebox.run(words).exitCode, 0) << what;
    const std::string placesBefore = discPlaces(jukebox.state());
    const ProcessResult result = jukebox.run(command);
    EXPECT_EQ(result.exitCode, exitCode) << what;
    EXPECT_EQ(result.err, message) << what;
    EXPECT_EQ(result.out, printed) << what;
    EXPECT_EQ(discPlaces(jukebox.state()), placesBefore) << what;
}

INSTANTIATE_TEST_SUITE_P(
    ChangerRefuses, SimRefusal,
    testing::Values(
        Case{"load from an empty slot", {}, {"load", "3"}, kExitFailed,
             changerRefusal("Source Element Address 3 is Empty", "Medium Source Element Empty", "3Bh/0Eh"),
             "Loading media from Storage Element 3 into drive 0..."},
        Case{"transfer onto a full slot", {}, {"transfer", "1", "2"}, kExitFailed,
             changerRefusal("Destination Element Address 2 is Already Full", "Medium Destination Element Full",
                            "3Bh/0Dh"),
             ""},
        Case{"exchange a slot with itself", {}, {"exchange", "1", "1"}, kExitFailed,
             illegalRequestLines("21", "80") +
                 changerRefusal("EXCHANGE MEDIUM from Element Address 1 to 1 Failed", "Illegal Exchange Operation",
                                "21h/80h"),
             ""}));

INSTANTIATE_TEST_SUITE_P(
    StateDoesNotAllow, SimRefusal,
    testing::Values(
        Case{"load into a full drive", {{"load", "1"}}, {"load", "2"}, kExitFailed,
             "Drive 0 Full (Storage Element 1 loaded)\n", ""},
        Case{"unload into a full slot", {{"load", "1"}}, {"unload", "2"}, kExitFailed,
             "Storage Element 2 is Already Full\n", ""},
        Case{"unload an empty drive", {}, {"unload"}, kExitFailed, "Data Transfer Element 0 is Empty\n", ""},
        Case{"unload of another empty drive into a slot", {}, {"unload", "3", "1"}, kExitFailed,
             "Data Transfer Element 1 is Empty\n", ""},
        Case{"unload with every slot full", {{"load", "1"}, {"position", "5"}, {"transfer", "5", "3"}}, {"unload", "3"},
             kExitFailed, "Storage Element 3 is Already Full\n", ""}));

INSTANTIATE_TEST_SUITE_P(
    BadArguments, SimRefusal,
    testing::Values(
        Case{"a slot past the last", {}, {"load", "6"}, kExitUsage,
             "karvelctl: load: no slot '6' (slots are 1 to 5)\nusage: karvelctl [-f ADDRESS] load SLOT [DRIVE]\n", ""},
        Case{"slot 0", {}, {"transfer", "0", "3"}, kExitUsage,
             "karvelctl: transfer: no slot '0' (slots are 1 to 5)\nusage: karvelctl [-f ADDRESS] transfer SLOT SLOT\n", ""},
        Case{"a drive past the last", {}, {"load", "1", "2"}, kExitUsage,
             "karvelctl: load: no drive '2' (drives are 0 to 1)\nusage: karvelctl [-f ADDRESS] load SLOT [DRIVE]\n", ""},
        Case{"a slot that is no number", {}, {"position", "x1"}, kExitUsage,
             "karvelctl: unknown command 'x1'\nTry 'karvelctl --help'.\n", ""},
        Case{"a negative slot", {}, {"load", "-1"}, kExitUsage,
             "karvelctl: load: no slot '-1' (slots are 1 to 5)\nusage: karvelctl [-f ADDRESS] load SLOT [DRIVE]\n", ""},
        Case{"a missing slot", {}, {"load"}, kExitUsage,
             "karvelctl: load: missing argument\nusage: karvelctl [-f ADDRESS] load SLOT [DRIVE]\n", ""},
        Case{"too many words", {}, {"exchange", "1", "2", "3", "4"}, kExitUsage,
             "karvelctl: exchange: too many arguments\nusage: karvelctl [-f ADDRESS] exchange SLOT SLOT [SLOT]\n", ""},
        Case{"an unknown option", {}, {"status", "--xml"}, kExitUsage,
             "karvelctl: status: unknown option '--xml'\nusage: karvelctl [-f ADDRESS] status [--json]\n", ""},
        Case{"an unknown command", {}, {"unmount"}, kExitUsage,
             "karvelctl: unknown command 'unmount'\nTry 'karvelctl --help'.\n", ""},
        Case{"no command", {}, {}, kExitUsage,
             "karvelctl: no command given\nusage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n"
             "Try 'karvelctl --help'.\n", ""},
        Case{"CHAP in the iSCSI address, told once as -f's", {}, {"-f", "iscsi://op:pw@h/iqn.x/1", "status"}, kExitUsage,
             "karvelctl: -f takes no CHAP credentials: they come from KARVELCTL_CHAP_USER and "
             "KARVELCTL_CHAP_PASSWORD, or from the iscsi line of your own layer configuration\n",
             ""},
        Case{"-f without its address", {}, {"-f"}, kExitUsage,
             "karvelctl: -f needs an address (H:T:L)\nusage: karvelctl [-f ADDRESS] COMMAND [ARGUMENTS]\n", ""}));

INSTANTIATE_TEST_SUITE_P(
    NoChanger, SimRefusal,
    testing::Values(Case{"nothing at the address", {}, {"-f", "0:5:0", "status"}, kExitNoChanger,
                         "karvelctl: no device answers at 0:5:0 (No SCSI Device Detected)\n", ""},
                    Case{"no such host adapter", {}, {"-f", "3:0:0", "load", "1"}, kExitNoChanger,
                         "karvelctl: no device answers at 3:0:0 (Invalid Host Number)\n", ""}));

TEST(SimRefusalFailure, AFailedReadOfTheElementsIsReported) {
    SimJukebox jukebox(kJukebox);
    jukebox.edit([](aspi::sim::JukeboxState& s) {
        s.faults.push_back(aspi::sim::Fault{0x04, 0x15, 0x01, uint8_t{0xB8}, 0});
    });
    const ProcessResult result = jukebox.run({"load", "1"});
    EXPECT_EQ(result.exitCode, kExitFailed);
    EXPECT_EQ(result.out, "");
    const std::string p = "mtx: Request Sense: ";
    EXPECT_EQ(result.err,
              p + "Long Report=yes\n" + p + "Valid Residual=no\n" + p + "Error Code=70 (Current)\n" + p +
              "Sense Key=Hardware Error\n" + p + "FileMark=no\n" + p + "EOM=no\n" + p + "ILI=no\n" + p +
              "Additional Sense Code = 15\n" + p + "Additional Sense Qualifier = 01\n" + p + "BPV=no\n" + p +
              "Error in CDB=no\n" + p + "SKSV=no\n"
              "READ ELEMENT STATUS Command Failed\n"
              "  ASPI Status: SCSI Error Detected (04h)\n"
              "  Host Status: No Error Detected (00h)\n"
              "  SCSI Status: Check Condition (02h)\n"
              "  Sense Key: Hardware Error (4h)\n"
              "  ASC/ASCQ: Mechanical Positioning Error (15h/01h)\n");
    EXPECT_EQ(discPlaces(jukebox.state()), "slot 1=1 slot 2=2 slot 4=4");
}

TEST(SimRefusalFailure, ALayerThatIsNotReadyEndsWithNoChanger) {
    SimJukebox jukebox;
    jukebox.configure({"sim jukebox.state slots=nine"});
    const ProcessResult result = jukebox.run({"status"});
    EXPECT_EQ(result.exitCode, kExitNoChanger);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("ASPI unable to initialize! No ASPI service!\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("karvelctl: the ASPI layer is not ready\n"), std::string::npos) << result.err;
}

}  // namespace
