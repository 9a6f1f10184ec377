// SPDX-License-Identifier: MIT
#include "address_range_dlg.h"

#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

using namespace karvel;

CAddressRangeDlg::CAddressRangeDlg(QWidget* owner)
    : TemplateDialog(res::kAddressRangeDialog, owner) {}

void CAddressRangeDlg::DoDataExchange(ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
    // The labels only go to the screen; the template's own texts never show.
    if (!dx.saving())
        setItemText(res::kIdFirstLabel, m_firstLabel);
    dx.integer(res::kIdFirstValue, m_firstValue);
    if (!dx.saving())
        setItemText(res::kIdSecondLabel, m_secondLabel);
    dx.integer(res::kIdSecondValue, m_secondValue);
}
