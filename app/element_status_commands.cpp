// Initialize (INITIALIZE ELEMENT STATUS over an address range) and Clear NVRAM.
#include "changer_dlg.h"

void CChangerDlg::OnInitialize() {}

void CChangerDlg::OnClearNvram() {}
