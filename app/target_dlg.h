// The SCSI Targets dialog (template 103): host adapter, LUN and SCSI id, validated on OK.
#pragma once

#include <cstdint>

#include "ui/template_dialog.h"

class CTargetDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    explicit CTargetDlg(QWidget* parent = nullptr);

    int32_t m_hostAdapter = 0;
    int32_t m_lun = 0;
    int32_t m_scsiId = 0;

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
};
