// New Firmware: load a firmware file and download it to the changer.
#include "changer_dlg.h"

void CChangerDlg::OnNewFirmware() {}
