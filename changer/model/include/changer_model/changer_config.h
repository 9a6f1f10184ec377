// SPDX-License-Identifier: MIT
// What the main dialog knows of its changer: the element address assignment from MODE
// SENSE page 1Dh and the selected target.
#pragma once

#include <cstdint>

// One SCSI logical unit: host adapter number, target id, LUN.
struct TargetAddress {
    uint8_t hostAdapter = 0;
    uint8_t targetId = 0;
    uint8_t lun = 0;
};

// The changer's eight element address values, in page 1Dh order.
struct ElementAddressAssignment {
    uint16_t firstTransport = 0;
    uint16_t transportCount = 0;
    uint16_t firstStorage = 0;
    uint16_t storageCount = 0;
    uint16_t firstImportExport = 0x3000;
    uint16_t importExportCount = 0;
    uint16_t firstDataTransfer = 0x4000;
    uint16_t dataTransferCount = 0;
};

// Returns the assignment used when MODE SENSE fails: no elements at all.
inline ElementAddressAssignment defaultElementAddressAssignment() {
    return ElementAddressAssignment{};
}

// The element address assignment and the selected target, as the main dialog keeps them.
struct ChangerConfig {
    ElementAddressAssignment assignment;
    TargetAddress target;
};
