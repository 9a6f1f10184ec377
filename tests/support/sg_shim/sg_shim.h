/* SPDX-License-Identifier: MIT */
/* The SG_IO shim's two halves: the C interposers (sg_shim.c) that recognise the named file
 * and its descriptors, and the layer side (sg_shim_layer.cpp) that carries a request out. */
#ifndef KARVEL_SG_SHIM_H
#define KARVEL_SG_SHIM_H

#include <scsi/sg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Carries out one SG_IO request through the ASPI layer; returns 0, or -1 with errno set. */
int sgShimExecute(sg_io_hdr_t* header);
/* Fills id for SG_GET_SCSI_ID; returns 0, or -1 with errno set. */
int sgShimScsiId(struct sg_scsi_id* id);

/* Fills the two ints of SCSI_IOCTL_GET_IDLUN (target, LUN, channel 0 and host in the first). */
int sgShimIdLun(int* idLun);
/* Stores the host number for SCSI_IOCTL_GET_BUS_NUMBER. */
int sgShimBusNumber(int* bus);

#ifdef __cplusplus
}
#endif

#endif
