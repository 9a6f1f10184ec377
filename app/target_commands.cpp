// The system-menu commands: About, SCSI Targets and Refresh View.
#include "changer_dlg.h"
#include "resources/resource_ids.h"

void CChangerDlg::OnSysCommand(uint32_t id, intptr_t param) {
    if (id == karvel::res::kIdmAboutBox)
        OnAbout();
    else if (id == karvel::res::kIdmScsiTargets)
        OnScsiTargets();
    else if (id == karvel::res::kIdmRefreshView)
        RefreshView(m_config);
    else
        DefaultSysCommand(id, param);
}

void CChangerDlg::OnAbout() {}

void CChangerDlg::OnScsiTargets() {}
