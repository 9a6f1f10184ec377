// Mount, UnMount, Import, Export and Reset.
#include "changer_dlg.h"

void CChangerDlg::OnMount() {}

void CChangerDlg::OnUnMount() {}

void CChangerDlg::OnImport() {}

void CChangerDlg::OnExport() {}

void CChangerDlg::OnReset() {}
