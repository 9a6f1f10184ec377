// SPDX-License-Identifier: MIT
// Mount and UnMount: load a drive from an element, and send a drive's medium home,
// each retrying a failed move once. They keep their element status reports in
// module-level buffers, so calls must not overlap.
#include <array>

#include "byte_order.h"
#include "library_export.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>

namespace {

constexpr uint8_t kDataTransferElement = 4;
// The two headers and one descriptor: a longer descriptor is cut here by the device.
constexpr uint32_t kDriveReportLength = 36;
constexpr size_t kFullByte = 16 + 2;       // descriptor byte 2, bit 0
constexpr size_t kSourceAddress = 16 + 10;  // descriptor bytes 10-11
constexpr uint16_t kDefaultTransport = 0;

using DriveReport = std::array<uint8_t, kDriveReportLength>;

// Distinct buffers, so the UnMount that Mount calls leaves Mount's report alone.
DriveReport mountReport;
DriveReport unmountReport;
uint16_t homeAddress;

uint8_t readDriveReport(SRBunion* srb, uint16_t drive, DriveReport& report) {
    return ReadElementStatus(srb, kDataTransferElement, drive, 1, kDriveReportLength,
                             report.data());
}

uint8_t moveWithOneRetry(SRBunion* srb, uint16_t source, uint16_t destination,
                         uint16_t transport) {
    uint8_t status = MoveMedium(srb, source, destination, transport);
    if (status == SS_COMP) return status;
    return MoveMedium(srb, source, destination, transport);
}

}  // namespace

// Every early exit returns the nested command's own result rather than SRB_Status: a command
// that caught a failure returns FFh while the block may still say 01h from its preparation.
KARVEL_EXPORT uint8_t Mount(SRBunion* srb, uint16_t source, uint16_t drive, uint16_t /*unused*/) {
    return karvel::guarded(karvel::kCaughtFailure, [&] {
        TestUnitReady(srb);  // clears a pending unit attention
        uint8_t status = TestUnitReady(srb);
        if (status != SS_COMP) return status;
        status = readDriveReport(srb, drive, mountReport);
        if (status != SS_COMP) return status;
        if (mountReport[kFullByte] & 0x01) UnMount(srb, drive, kDefaultTransport);
        return moveWithOneRetry(srb, source, drive, kDefaultTransport);
    });
}

// Sends the move whatever the drive holds: neither the Full nor the source-valid bit is tested.
KARVEL_EXPORT uint8_t UnMount(SRBunion* srb, uint16_t drive, uint16_t transport) {
    return karvel::guarded(karvel::kCaughtFailure, [&] {
        uint8_t status = readDriveReport(srb, drive, unmountReport);
        if (status != SS_COMP) return status;
        homeAddress = karvel::get_be16(unmountReport.data() + kSourceAddress);
        return moveWithOneRetry(srb, drive, homeAddress, transport);
    });
}
