// The About box (template 100): the program's version, the changer's identity and address.
#pragma once

#include <cstdint>

#include "ui/template_dialog.h"

class CAboutDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    const uint8_t* m_inquiryData = nullptr;  // the caller's 50-byte INQUIRY answer
    uint8_t m_hostAdapter = 0;
    uint8_t m_scsiId = 0;
    uint8_t m_lun = 0;

protected:
    bool OnInitDialog() override;
};
