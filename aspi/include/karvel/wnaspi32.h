// SPDX-License-Identifier: MIT
/* The ASPI for Win32 programming interface, as this system's host adapter layer
 * (libwnaspi32.so) offers it on Linux. Built for LP64: the block stays 80 bytes
 * and every field keeps its 32-bit offset, except the two pointers, which move
 * into the reserved bytes at 32 and 40. Programs link against this layout. */
#ifndef WNASPI32_H
#define WNASPI32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Request codes (SRB_Cmd). */
#define SC_GET_DEV_TYPE 0x01  /* which device type answers at HaId/Target/Lun */
#define SC_EXEC_SCSI_CMD 0x02 /* execute one SCSI command */

/* Request status (SRB_Status). */
#define SS_PENDING 0x00        /* SCSI request is in progress */
#define SS_COMP 0x01           /* completed without error */
#define SS_ABORTED 0x02        /* aborted (for instance timed out) */
#define SS_ERR 0x04            /* completed with an error: see SRB_HaStat, SRB_TargStat, SenseArea */
#define SS_INVALID_CMD 0x80    /* invalid request code */
#define SS_INVALID_HA 0x81     /* no such host adapter */
#define SS_NO_DEVICE 0x82      /* no device at that address */
#define SS_INVALID_SRB 0xE0    /* invalid parameter in the request block */
#define SS_NO_RESOURCES 0xE5   /* no resource available to execute the request */
#define SS_BUFFER_TO_BIG 0xE6  /* buffer size too big to handle */
#define SS_FAILED_INIT 0xE4    /* status byte of the support value when the layer is not ready */

/* Host adapter status (SRB_HaStat). */
#define HASTAT_OK 0x00
#define HASTAT_SEL_TO 0x11      /* selection timeout */
#define HASTAT_DO_DU 0x12       /* data overrun or underrun */
#define HASTAT_BUS_FREE 0x13    /* unexpected bus free */
#define HASTAT_PHASE_ERR 0x14   /* target bus phase sequence failure */

/* SRB_Flags: 0 means direction from the command, completion awaited by polling. */
#define SRB_POSTING 0x01
#define SRB_EVENT_NOTIFY 0x40

#define SENSE_LEN 14          /* sense bytes the system asks for */
#define SRB_SENSE_AREA_LEN 16 /* sense bytes the block can hold */

/* Execute-SCSI-command form (SRB_Cmd = SC_EXEC_SCSI_CMD). */
typedef struct SRB_ExecSCSICmd {
    uint8_t SRB_Cmd;          /* 0: request code */
    uint8_t SRB_Status;       /* 1: 0 while pending, the final status when done */
    uint8_t SRB_HaId;         /* 2: host adapter number */
    uint8_t SRB_Flags;        /* 3: request flags, 0 in this system */
    uint32_t SRB_Hdr_Rsvd;    /* 4: reserved, 0 */
    uint8_t SRB_Target;       /* 8: SCSI target id */
    uint8_t SRB_Lun;          /* 9: logical unit number */
    uint16_t SRB_Rsvd1;       /* 10: reserved, 0 */
    uint32_t SRB_BufLen;      /* 12: length of the data phase, 0 for none */
    uint32_t SRB_Rsvd16;      /* 16: reserved, 0 (the 32-bit buffer pointer's old place) */
    uint8_t SRB_SenseLen;     /* 20: sense bytes wanted */
    uint8_t SRB_CDBLen;       /* 21: CDB length: 6, 10 or 12 */
    uint8_t SRB_HaStat;       /* 22: host adapter status, written by the layer */
    uint8_t SRB_TargStat;     /* 23: SCSI status byte, written by the layer */
    uint32_t SRB_Rsvd24;      /* 24: reserved, 0 (the 32-bit completion routine's old place) */
    uint8_t SRB_Rsvd2[4];     /* 28: reserved, never touched */
    uint8_t* SRB_BufPointer;  /* 32: the caller's data buffer, null for none; owned by the caller */
    void* SRB_PostProc;       /* 40: completion routine or event; not acted upon when SRB_Flags is 0 */
    uint8_t CDBByte[16];      /* 48: command descriptor block, byte 0 first */
    uint8_t SenseArea[SRB_SENSE_AREA_LEN]; /* 64: sense data written by the layer */
} SRB_ExecSCSICmd;

/* Get-device-type form (SRB_Cmd = SC_GET_DEV_TYPE). */
typedef struct SRB_GDEVBlock {
    uint8_t SRB_Cmd;          /* 0: SC_GET_DEV_TYPE */
    uint8_t SRB_Status;       /* 1: SS_COMP when a device answers */
    uint8_t SRB_HaId;         /* 2: host adapter to probe */
    uint8_t SRB_Flags;        /* 3: 0 */
    uint32_t SRB_Hdr_Rsvd;    /* 4: 0 */
    uint8_t SRB_Target;       /* 8: target id to probe */
    uint8_t SRB_Lun;          /* 9: LUN to probe */
    uint8_t SRB_DeviceType;   /* 10: peripheral device type found; 8 is a medium changer */
    uint8_t SRB_Rsvd1;        /* 11: reserved */
} SRB_GDEVBlock;

/* The 80-byte request block; the caller allocates and owns it. */
typedef union SRBunion {
    SRB_ExecSCSICmd exec;
    SRB_GDEVBlock gdev;
    uint8_t raw[80];
} SRBunion;

/* Returns the support value: bits 0-7 host adapter count, bits 8-15 status (SS_COMP when ready). */
uint32_t GetASPI32SupportInfo(void);

/* Submits srb (owned by the caller) and returns its SRB_Status; execute requests are complete on return. */
uint32_t SendASPI32Command(SRBunion* srb);

/* This layer's own query, beside the two ASPI entries: copies into text (the caller's buffer of
 * size bytes; cut, and NUL-terminated when size > 0) the reason the layer is not ready or serves
 * no host adapter, as one line such as "wnaspi32: FILE:LINE: why"; returns the reason's whole
 * length in bytes (0: no reason, text is then ""). Never fails, never throws. */
uint32_t GetASPI32LayerFault(char* text, uint32_t size);

#ifdef __cplusplus
}
#endif

/* The layout programs link against, checked wherever the compiler can (C++11, C11). */
#if defined(__cplusplus)
#include <cstddef>
#define WNASPI32_CHECK_LAYOUT(condition) static_assert(condition, "SRBunion layout: " #condition)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#include <stddef.h>
#define WNASPI32_CHECK_LAYOUT(condition) _Static_assert(condition, "SRBunion layout: " #condition)
#endif
#ifdef WNASPI32_CHECK_LAYOUT
WNASPI32_CHECK_LAYOUT(sizeof(SRBunion) == 80);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Cmd) == 0);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Status) == 1);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_HaId) == 2);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Flags) == 3);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Hdr_Rsvd) == 4);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Target) == 8);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Lun) == 9);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Rsvd1) == 10);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Rsvd16) == 16);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_SenseLen) == 20);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_CDBLen) == 21);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_HaStat) == 22);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_TargStat) == 23);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Rsvd24) == 24);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_Rsvd2) == 28);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 32);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 40);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, CDBByte) == 48);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_ExecSCSICmd, SenseArea) == 64);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_GDEVBlock, SRB_DeviceType) == 10);
WNASPI32_CHECK_LAYOUT(offsetof(SRB_GDEVBlock, SRB_Rsvd1) == 11);
#undef WNASPI32_CHECK_LAYOUT
#endif

#endif /* WNASPI32_H */
