// SPDX-License-Identifier: MIT
// Numbers of the program's resources: dialog templates, controls, strings, icons and the
// commands it adds to the system menu.
#pragma once

#include <cstdint>

namespace karvel::res {

// Dialog templates.
inline constexpr int kAboutDialog = 100;
inline constexpr int kChangerDialog = 102;
inline constexpr int kTargetDialog = 103;
inline constexpr int kAddressRangeDialog = 107;
inline constexpr int kProgressDialog = 135;

// Icons.
inline constexpr int kProgramIcon = 128;

// Main dialog controls.
inline constexpr int kIdExport = 3;
inline constexpr int kIdReset = 4;
inline constexpr int kIdMount = 5;
inline constexpr int kIdUnMount = 6;
inline constexpr int kIdImport = 7;
inline constexpr int kIdSlotList = 1000;
inline constexpr int kIdNewFirmware = 1002;
inline constexpr int kIdInitialize = 1003;
inline constexpr int kIdAspiStatus = 1010;
inline constexpr int kIdScsiStatus = 1011;
inline constexpr int kIdSenseKey = 1012;
inline constexpr int kIdAscAscq = 1013;
inline constexpr int kIdStatusFrame = 1014;
inline constexpr int kIdDriveList = 1021;
inline constexpr int kIdTransportList = 1022;
inline constexpr int kIdImportExportList = 1023;
inline constexpr int kIdInquiryText = 1024;
inline constexpr int kIdClearNvram = 1034;

// Address range prompt (template 107).
inline constexpr int kIdFirstValue = 1012;
inline constexpr int kIdSecondValue = 1006;
inline constexpr int kIdFirstLabel = 1013;
inline constexpr int kIdSecondLabel = 1010;

// Progress box (template 135).
inline constexpr int kIdProgressText = 1001;

// About box (template 100).
inline constexpr int kIdVendor = 1027;
inline constexpr int kIdProduct = 1026;
inline constexpr int kIdRevision = 1028;
inline constexpr int kIdDate = 1029;
inline constexpr int kIdHost = 1038;
inline constexpr int kIdScsiId = 1039;
inline constexpr int kIdLun = 1005;

// SCSI Targets dialog (template 103).
inline constexpr int kIdTargetHost = 1003;
inline constexpr int kIdTargetScsiId = 1004;
inline constexpr int kIdTargetLun = 1005;
inline constexpr int kIdTargetDefault = 3;

// Commands the main dialog adds to its system menu.
inline constexpr uint32_t kIdmAboutBox = 16;
inline constexpr uint32_t kIdmScsiTargets = 17;
inline constexpr uint32_t kIdmRefreshView = 18;

// Strings.
inline constexpr int kStrScsiTargets = 4;
inline constexpr int kStrSlotEmpty = 5;
inline constexpr int kStrSlotFull = 6;
inline constexpr int kStrSlotInDrive = 7;
inline constexpr int kStrClearNvramWarning = 8;
inline constexpr int kStrFirmwareFilter = 9;
inline constexpr int kStrFirmwareCompleted = 10;
inline constexpr int kStrFirmwareFailed = 11;
inline constexpr int kStrReadingBinary = 12;
inline constexpr int kStrReadingMotorola = 13;
inline constexpr int kStrReadingHex = 14;
inline constexpr int kStrTransferringFirmware = 15;
inline constexpr int kStrInitializingChanger = 16;
inline constexpr int kStrRefreshView = 17;
inline constexpr int kStrAboutBox = 101;

}  // namespace karvel::res
