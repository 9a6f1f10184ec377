// SPDX-License-Identifier: MIT
// A medium changer played on the scripted ASPI fake: answers INQUIRY, MODE SENSE page 1Dh,
// READ BUFFER (fullness records) and READ ELEMENT STATUS from the fields below, and any
// operation code with a programmed failure instead. Everything else completes with GOOD.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "changer_model/changer_config.h"
#include "scripted_aspi.h"

namespace karvel::test {

struct ScriptedDrive {
    bool full = false;
    uint16_t source = 0;  // source storage element address
};

struct ScriptedChanger {
    std::vector<uint8_t> inquiry = standardInquiry("KARVEL  ", "TEST JUKEBOX    ");
    ElementAddressAssignment assignment{0x0000, 1, 0x0001, 50, 0x0030, 1, 0x4000, 2};
    uint8_t blockDescriptorLength = 0;
    std::map<uint8_t, std::array<uint8_t, 13>> fullnessMaps;  // buffer id -> group of 100 slots
    std::vector<ScriptedDrive> drives;                         // drive row -> its state
    std::vector<uint16_t> fullStorage;  // storage addresses READ ELEMENT STATUS reports full
    std::map<uint8_t, Reply> failures;  // operation code -> the reply given instead

    // Returns the reply to one request.
    Reply respond(const SeenRequest& request) const;
    // Makes aspi answer every request through this changer (which must outlive aspi's use).
    void serve(ScriptedAspi& aspi) const;

    // Returns 36 bytes of standard INQUIRY data for a medium changer; shorter names are
    // padded with blanks.
    static std::vector<uint8_t> standardInquiry(const char* vendor8, const char* product16);
};

// Returns the requests whose operation code is opcode.
std::vector<SeenRequest> requestsWithOpcode(const ScriptedAspi& aspi, uint8_t opcode);

}  // namespace karvel::test
