// SPDX-License-Identifier: MIT
// The SCSI Targets dialog (template 103): host adapter, LUN and SCSI id, validated on OK in
// that order (LUN and SCSI id 0 to 15, the host adapter any integer). "Default" does nothing.
#pragma once

#include <cstdint>

#include "ui/template_dialog.h"

class CTargetDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    // owner is the window the dialog belongs to (the main dialog), or null.
    explicit CTargetDlg(QWidget* owner = nullptr);

    int32_t m_hostAdapter = 0;
    int32_t m_lun = 0;
    int32_t m_scsiId = 0;

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
};
