// SPDX-License-Identifier: MIT
// The program's dialog templates. Rectangles are in dialog units: x, y, width, height.
#include "resources/resource_ids.h"
#include "ui/dialog_template.h"

namespace karvel::ui {

namespace {

using K = ControlKind;
using namespace karvel::res;

constexpr ControlTemplate kChangerControls[] = {
    {kIdMount, K::defaultPushButton, "Mount", 4, 106, 50, 14},
    {kIdImport, K::pushButton, "Import", 69, 106, 50, 14},
    {kIdUnMount, K::pushButton, "UnMount", 4, 124, 50, 14},
    {kIdExport, K::pushButton, "Export", 69, 124, 50, 14},
    {kIdInitialize, K::pushButton, "Initialize", 4, 143, 50, 14},
    {kIdReset, K::pushButton, "Reset", 69, 143, 50, 14},
    {kIdNewFirmware, K::pushButton, "New Firmware ", 4, 161, 50, 14},
    {kIdClearNvram, K::pushButton, "Clear NVRAM", 69, 161, 50, 14},
    {kIdSlotList, K::listBox, "", 3, 21, 59, 80},
    {kIdAspiStatus, K::staticText, "ASPI Status", 4, 190, 113, 9},
    {kIdScsiStatus, K::staticText, "SCSI Status", 4, 200, 112, 8},
    {kIdSenseKey, K::staticText, "Sense Key ", 4, 209, 112, 8},
    {kIdAscAscq, K::staticText, "ASC and ASCQ", 4, 218, 114, 19},
    {kIdStatusFrame, K::groupBox, "STATUS:", 1, 180, 119, 58},
    {kNoControlId, K::staticText, "Disc Address", 5, 12, 45, 8},
    {kNoControlId, K::staticText, "Drive Number", 66, 12, 54, 8},
    {kIdDriveList, K::comboBox, "", 65, 21, 55, 30},
    {kIdTransportList, K::comboBox, "", 65, 56, 55, 30},
    {kIdImportExportList, K::comboBox, "", 65, 88, 55, 30},
    {kNoControlId, K::staticText, "Transport ", 66, 46, 46, 8},
    {kNoControlId, K::staticText, "Import/Export", 66, 78, 46, 9},
    {kIdInquiryText, K::staticText, "Inquiry Data", 3, 2, 114, 8},
};

constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, K::iconImage, "128", 11, 10, 20, 20},
    {kNoControlId, K::staticText, "Karvel Application Version 1.0", 40, 12, 126, 8},
    {kIdOk, K::defaultPushButton, "OK", 176, 8, 32, 14},
    {kNoControlId, K::groupBox, "", 7, 30, 201, 104},
    {1030, K::staticRight, "Vendor:", 14, 42, 40, 8},
    {1031, K::staticRight, "Product:", 14, 54, 40, 8},
    {1032, K::staticRight, "Revision:", 14, 66, 40, 8},
    {1033, K::staticRight, "Date:", 14, 78, 40, 8},
    {1025, K::staticRight, "Host:", 14, 90, 40, 8},
    {1036, K::staticRight, "Scsi ID:", 14, 102, 40, 8},
    {1037, K::staticRight, "LUN:", 14, 114, 40, 8},
    {kIdVendor, K::staticText, "Vendor ID", 60, 42, 140, 8},
    {kIdProduct, K::staticText, "Product ID", 60, 54, 140, 8},
    {kIdRevision, K::staticText, "Revision ID", 60, 66, 140, 8},
    {kIdDate, K::staticText, "Date:", 60, 78, 140, 8},
    {kIdHost, K::staticText, "Host ID", 60, 90, 140, 8},
    {kIdScsiId, K::staticText, "Scsi ID", 60, 102, 140, 8},
    {kIdLun, K::staticText, "Lun ID", 60, 114, 140, 8},
};

constexpr ControlTemplate kTargetControls[] = {
    {kIdOk, K::defaultPushButton, "OK", 129, 7, 50, 14},
    {kIdCancel, K::pushButton, "Cancel", 129, 24, 50, 14},
    {kIdTargetDefault, K::pushButton, "Default", 129, 41, 50, 14},
    {kNoControlId, K::staticText, "Host Adapter ", 7, 9, 50, 8},
    {kIdTargetHost, K::editBox, "", 62, 7, 40, 12},
    {kNoControlId, K::staticText, "SCSI ID", 7, 27, 50, 8},
    {kIdTargetScsiId, K::editBox, "", 62, 25, 40, 12},
    {kNoControlId, K::staticText, "LUN", 7, 45, 50, 8},
    {kIdTargetLun, K::editBox, "", 62, 43, 40, 12},
};

constexpr ControlTemplate kAddressRangeControls[] = {
    {kIdOk, K::defaultPushButton, "OK", 129, 7, 50, 14},
    {kIdCancel, K::pushButton, "Cancel", 129, 24, 50, 14},
    {kIdFirstLabel, K::staticRight, "Prompt Addr 1", 7, 9, 60, 8},
    {kIdFirstValue, K::editBox, "", 72, 7, 48, 12},
    {kIdSecondLabel, K::staticRight, "Prompt Addr 2", 7, 27, 60, 8},
    {kIdSecondValue, K::editBox, "", 72, 25, 48, 12},
};

constexpr ControlTemplate kProgressControls[] = {
    {kIdProgressText, K::staticCentre, "Static", 10, 11, 140, 8},
};

constexpr DialogTemplate kTemplates[] = {
    {kChangerDialog, "Karvel", kCaption | kSystemMenu | kMinimizeBox, 100, 100, 122, 239,
     kChangerControls},
    {kAboutDialog, "About Karvel", kCaption | kSystemMenu, 0, 0, 217, 141, kAboutControls},
    {kTargetDialog, "SCSI Targets", kCaption | kSystemMenu, 0, 0, 186, 62, kTargetControls},
    {kAddressRangeDialog, "", kCaption | kSystemMenu, 0, 0, 186, 45, kAddressRangeControls},
    {kProgressDialog, "", 0, 0, 0, 160, 30, kProgressControls},
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : kTemplates)
        if (t.id == id)
            return &t;
    return nullptr;
}

}  // namespace karvel::ui
