#include "about_dlg.h"

#include "resources/resource_ids.h"

CAboutDlg::CAboutDlg(QWidget* parent) : TemplateDialog(karvel::res::kAboutDialog, parent) {}

bool CAboutDlg::OnInitDialog() {
    return TemplateDialog::OnInitDialog();
}
