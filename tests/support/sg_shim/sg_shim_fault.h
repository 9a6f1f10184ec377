/* SPDX-License-Identifier: MIT */
/* A fault the shim injects once, for changers that cannot be told to fail (tgt): the file
 * named by KARVEL_SG_SHIM_FAULT holds one line "OPCODE KEY ASC ASCQ" in hex (for instance
 * "a5 2 04 01", the next MOVE MEDIUM meets Not Ready, becoming ready). The first command with
 * that operation code, in whichever process, ends with CHECK CONDITION and that sense instead
 * of reaching the changer, and the file is removed, so a program run again gets through. */
#ifndef KARVEL_SG_SHIM_FAULT_H
#define KARVEL_SG_SHIM_FAULT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Fixed-format sense data: what a fault answers with. */
#define SG_SHIM_FAULT_SENSE_LENGTH 18

/* When the pending fault hits the command cdb, takes it, fills sense and returns 1; else 0. */
int sgShimTakeFault(const uint8_t* cdb, size_t cdbLength, uint8_t sense[SG_SHIM_FAULT_SENSE_LENGTH]);

#ifdef __cplusplus
}
#endif

#endif
