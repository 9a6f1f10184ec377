// SPDX-License-Identifier: MIT
// Mount and UnMount: load a drive from an element, and send a drive's medium home,
// each retrying a failed move once. They keep their element status reports in
// module-level buffers, so calls must not overlap.
#include <array>

#include "changer_model/element_status.h"
#include "changer_model/element_type.h"
#include "library_export.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>

namespace {

using karvel::model::ElementType;

// The two headers and one descriptor: a longer descriptor is cut here by the device.
constexpr uint32_t kDriveReportLength = 36;
constexpr uint16_t kDefaultTransport = 0;

using DriveReport = std::array<uint8_t, kDriveReportLength>;

// Distinct buffers, so the UnMount that Mount calls leaves Mount's report alone.
DriveReport mountReport;
DriveReport unmountReport;
uint16_t homeAddress;

uint8_t readDriveReport(SRBunion* srb, uint16_t drive, DriveReport& report) {
    return ReadElementStatus(srb, karvel::model::elementTypeCode(ElementType::dataTransfer), drive, 1,
                             kDriveReportLength, report.data());
}

// Returns the drive's descriptor in its report (the report always holds one).
karvel::model::ElementDescriptor driveIn(const DriveReport& report) {
    return *karvel::model::fixedStrideDescriptor(report, report.size(), 0, ElementType::dataTransfer);
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
        if (driveIn(mountReport).full) UnMount(srb, drive, kDefaultTransport);
        return moveWithOneRetry(srb, source, drive, kDefaultTransport);
    });
}

// Sends the move whatever the drive holds: neither the Full nor the source-valid bit is tested.
KARVEL_EXPORT uint8_t UnMount(SRBunion* srb, uint16_t drive, uint16_t transport) {
    return karvel::guarded(karvel::kCaughtFailure, [&] {
        uint8_t status = readDriveReport(srb, drive, unmountReport);
        if (status != SS_COMP) return status;
        homeAddress = driveIn(unmountReport).source;
        return moveWithOneRetry(srb, drive, homeAddress, transport);
    });
}
