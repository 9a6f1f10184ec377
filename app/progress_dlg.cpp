#include "progress_dlg.h"

#include "resources/resource_ids.h"

CProgressDlg::CProgressDlg(QWidget* parent) : TemplateDialog(karvel::res::kProgressDialog, parent) {
    Create();
}

bool CProgressDlg::Create() {
    return CreateModeless();
}

void CProgressDlg::DestroyWindow() {
    hide();
    deleteLater();
}

bool CProgressDlg::OnInitDialog() {
    return TemplateDialog::OnInitDialog();
}
