// The address range prompt (template 107): two integers, each with a label the caller sets.
#pragma once

#include <cstdint>

#include <QString>

#include "ui/template_dialog.h"

class CAddressRangeDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    explicit CAddressRangeDlg(QWidget* parent = nullptr);

    int32_t m_firstValue = 0;
    int32_t m_secondValue = 0;
    QString m_firstLabel;
    QString m_secondLabel;

protected:
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
};
