// SPDX-License-Identifier: MIT
#include "sg_shim_fault.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int sgShimTakeFault(const uint8_t* cdb, size_t cdbLength, uint8_t sense[SG_SHIM_FAULT_SENSE_LENGTH]) {
    const char* path = std::getenv("KARVEL_SG_SHIM_FAULT");
    if (!path || !*path || !cdb || cdbLength == 0) return 0;
    FILE* file = std::fopen(path, "r");
    if (!file) return 0;
    unsigned opcode = 0, key = 0, asc = 0, ascq = 0;
    const int fields = std::fscanf(file, "%x %x %x %x", &opcode, &key, &asc, &ascq);
    std::fclose(file);
    if (fields != 4 || opcode > 0xFF || key > 0x0F || asc > 0xFF || ascq > 0xFF) {
        // A test that wrote a bad fault must not pass as if it had met none.
        std::fprintf(stderr, "karvel_sg_shim: %s: not \"OPCODE KEY ASC ASCQ\" in hex\n", path);
        return 0;
    }
    // Whoever removes the file takes the fault: one hit, even across processes.
    if (cdb[0] != opcode || ::unlink(path) != 0) return 0;
    std::memset(sense, 0, SG_SHIM_FAULT_SENSE_LENGTH);
    sense[0] = 0x70;  // current error, fixed format
    sense[2] = static_cast<uint8_t>(key);
    sense[7] = SG_SHIM_FAULT_SENSE_LENGTH - 8;
    sense[12] = static_cast<uint8_t>(asc);
    sense[13] = static_cast<uint8_t>(ascq);
    return 1;
}
