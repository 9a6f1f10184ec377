#include "address_range_dlg.h"

#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

CAddressRangeDlg::CAddressRangeDlg(QWidget* parent)
    : TemplateDialog(karvel::res::kAddressRangeDialog, parent) {}

void CAddressRangeDlg::DoDataExchange(karvel::ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
}
