// SPDX-License-Identifier: MIT
// The About box (template 100): the program's version, the changer's identity and address.
#pragma once

#include <cstdint>

#include "ui/template_dialog.h"

class CAboutDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    // owner is the window the box centres over (the main dialog); null centres on the screen.
    explicit CAboutDlg(QWidget* owner = nullptr);

    // The caller's 50-byte INQUIRY answer (lent, must outlive the box); byte 8 zero means the
    // identity is unknown, and byte 47 ends the date text.
    const uint8_t* m_inquiryData = nullptr;
    uint8_t m_hostAdapter = 0;
    uint8_t m_scsiId = 0;
    uint8_t m_lun = 0;

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
    // Centres the box and fills every value field from the members; returns true.
    bool OnInitDialog() override;
    // The program's icon for the template's icon control.
    QIcon templateIcon(int id) const override;
};
