// SPDX-License-Identifier: MIT
/* Nevsel: the SCSI command library. Prepares and submits ASPI request blocks,
 * builds the standard SCSI-2 commands and turns status bytes into text.
 * Every command takes the caller's request block first (the caller owns it and
 * must have set SRB_HaId, SRB_Target, SRB_Lun, SRB_Flags and SRB_PostProc) and
 * returns its final SRB_Status, or 0xFF when the library caught a failure.
 * Data buffers belong to the caller and are only lent for the call. */
#ifndef NEVSEL_H
#define NEVSEL_H

#include <stdint.h>

#include <karvel/wnaspi32.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns the ASPI support value (queried once per process), 0xFFFF on a caught failure;
 * shows "ASPI unable to initialize! No ASPI service!" on every call while the layer is not ready. */
uint32_t GetAspi32Info(void);
/* Makes srb an empty execute request with the given CDB length; keeps address, flags and PostProc. */
void InitSRBexecute(SRBunion* srb, uint8_t cdbLength);
/* Submits srb and, when SRB_Flags is 0, waits until SRB_Status leaves 0; returns SRB_Status. */
uint8_t CallAspi32(SRBunion* srb);

uint8_t TestUnitReady(SRBunion* srb);
uint8_t Rezero(SRBunion* srb);
/* buffer: at least 18 bytes. */
uint8_t RequestSense(SRBunion* srb, uint8_t* buffer);
/* buffer: at least 47 bytes. */
uint8_t Inquiry(SRBunion* srb, uint8_t* buffer);
uint8_t ModeSelect6(SRBunion* srb, uint8_t pf, uint8_t sp, uint8_t length, uint8_t* buffer);
uint8_t Reserve(SRBunion* srb, uint8_t thirdParty, uint8_t thirdPartyId, uint8_t extent,
                uint8_t reservationId, uint16_t extentListLength);
uint8_t Release(SRBunion* srb, uint8_t thirdParty, uint8_t thirdPartyId, uint8_t extent,
                uint8_t reservationId);
uint8_t ModeSense6(SRBunion* srb, uint8_t dbd, uint8_t pageControl, uint8_t pageCode,
                   uint8_t allocationLength, uint8_t* buffer);
uint8_t ReceiveDiagnostic(SRBunion* srb, uint16_t allocationLength, uint8_t* buffer);
uint8_t SendDiagnostic(SRBunion* srb, uint8_t pf, uint8_t selfTest, uint16_t length, uint8_t* buffer);
uint8_t WriteBuffer(SRBunion* srb, uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length,
                    uint8_t* buffer);
uint8_t ReadBuffer(SRBunion* srb, uint8_t mode, uint8_t bufferId, uint32_t offset,
                   uint32_t allocationLength, uint8_t* buffer);
uint8_t ChangeDefinition(SRBunion* srb, uint8_t save, uint8_t definitionParameter, uint8_t length,
                         uint8_t* buffer);
uint8_t ModeSelect10(SRBunion* srb, uint8_t pf, uint8_t sp, uint16_t length, uint8_t* buffer);
uint8_t ModeSense10(SRBunion* srb, uint8_t dbd, uint8_t pageControl, uint8_t pageCode,
                    uint16_t allocationLength, uint8_t* buffer);

/* The text functions write a NUL-terminated text into text (the caller's, at least 46 bytes). */
void GetASPIstatus(uint8_t status, char* text);
void GetHOSTstatus(uint8_t status, char* text);
void GetSCSIstatus(uint8_t status, char* text);
void GetSenseKey(uint8_t senseKey, char* text);
void GetASC_ASCQ(uint8_t asc, uint8_t ascq, char* text);

/* Shows text in a modal box with a stop icon and OK, captioned caption, with detail (the ASPI
 * layer's own reason, "" when it gives none) under the box's details; all three texts are the
 * library's and last only for the call. */
typedef void (*NevselMessageBoxHook)(const char* text, const char* caption, const char* detail);
/* Replaces the message-box hook (null: write the text as one line on stderr). */
void NevselSetMessageBoxHook(NevselMessageBoxHook hook);

#ifdef __cplusplus
}
#endif

#endif /* NEVSEL_H */
