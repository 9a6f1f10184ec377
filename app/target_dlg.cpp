#include "target_dlg.h"

#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

CTargetDlg::CTargetDlg(QWidget* parent) : TemplateDialog(karvel::res::kTargetDialog, parent) {}

void CTargetDlg::DoDataExchange(karvel::ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
}
