// SPDX-License-Identifier: MIT
/* A program outside the project, built against the installed headers and libraries: asks
 * the layer for its support value through Nevsel, finds the changer at 0:0:0, reads its
 * identity and moves the disc of its first slot into its first drive through Ostrik.
 * Prints "adapters=N VENDOR PRODUCT moved"; exit 1 with a reason when a step fails. */
#include <stdio.h>
#include <string.h>

#include <karvel/nevsel.h>
#include <karvel/ostrik.h>

static int fail(const char* step, unsigned value) {
    fprintf(stderr, "consumer: %s: %02Xh\n", step, value);
    return 1;
}

int main(void) {
    const uint32_t support = GetAspi32Info();
    if (((support >> 8) & 0xFF) != SS_COMP)
        return fail("the ASPI layer is not ready", (unsigned)support);

    SRBunion srb;
    memset(&srb, 0, sizeof srb);
    srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    if (SendASPI32Command(&srb) != SS_COMP || srb.gdev.SRB_DeviceType != 8)
        return fail("no medium changer at 0:0:0", srb.gdev.SRB_DeviceType);

    memset(&srb, 0, sizeof srb);
    uint8_t inquiry[47];
    memset(inquiry, 0, sizeof inquiry);
    TestUnitReady(&srb); /* takes the unit attention of a new initiator */
    if (Inquiry(&srb, inquiry) != SS_COMP)
        return fail("INQUIRY", srb.exec.SRB_Status);
    /* The simulated jukebox's first slot is 0001h, its first drive 4000h, transport 0. */
    if (MoveMedium(&srb, 0x0001, 0x4000, 0) != SS_COMP)
        return fail("MOVE MEDIUM", srb.exec.SRB_Status);
    printf("adapters=%u %.8s %.16s moved\n", (unsigned)(support & 0xFF), (const char*)inquiry + 8,
           (const char*)inquiry + 16);
    return 0;
}
