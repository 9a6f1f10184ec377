// SPDX-License-Identifier: MIT
/* Ostrik: the SCSI medium changer commands, and Mount/UnMount composites, on Nevsel.
 * Every function takes the caller's request block first (addressed to the changer by
 * the caller) and returns its final SRB_Status, or 0xFF when the library caught a failure. */
#ifndef OSTRIK_H
#define OSTRIK_H

#include <stdint.h>

#include <karvel/wnaspi32.h>

#ifdef __cplusplus
extern "C" {
#endif

uint8_t ExchangeMedium(SRBunion* srb, uint16_t source, uint16_t firstDestination,
                       uint16_t secondDestination, uint16_t transport);
uint8_t InitializeElementStatus(SRBunion* srb);
uint8_t MoveMedium(SRBunion* srb, uint16_t source, uint16_t destination, uint16_t transport);
uint8_t PositionToElement(SRBunion* srb, uint16_t destination, uint16_t transport);
/* buffer: the caller's, at least allocationLength bytes. */
uint8_t ReadElementStatus(SRBunion* srb, uint8_t elementType, uint16_t start, uint16_t count,
                          uint32_t allocationLength, uint8_t* buffer);
/* Loads drive from source, first sending a full drive's disc home; the third value is unused. */
uint8_t Mount(SRBunion* srb, uint16_t source, uint16_t drive, uint16_t unused);
/* Moves the disc in drive back to the storage element it came from, with the given transport. */
uint8_t UnMount(SRBunion* srb, uint16_t drive, uint16_t transport);

#ifdef __cplusplus
}
#endif

#endif /* OSTRIK_H */
