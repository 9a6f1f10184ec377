// SPDX-License-Identifier: MIT
// The system-menu commands: About, SCSI Targets and Refresh View.
#include <array>

#include "about_dlg.h"
#include "changer_dlg.h"
#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"
#include <karvel/nevsel.h>
#include "profile.h"
#include "resources/resource_ids.h"
#include "target_dlg.h"
#include "ui/application_name.h"
#include "ui/dialog_template.h"
#include "ui/message_box.h"

using namespace karvel;

namespace {

constexpr size_t kInquiryBufferLength = 50;
constexpr size_t kDateEnd = 47;
constexpr size_t kVendorStart = 8;

}  // namespace

void CChangerDlg::OnSysCommand(uint32_t id, intptr_t param) {
    if (id == res::kIdmAboutBox) {
        OnAbout();
    } else if (id == res::kIdmScsiTargets) {
        OnScsiTargets();
    } else if (id == res::kIdmRefreshView) {
        RefreshView(m_config);
        Invalidate();  // the panel then shows how the refresh ended
    } else {
        DefaultSysCommand(id, param);
    }
}

void CChangerDlg::OnAbout() {
    CAboutDlg about(this);
    // Cleared first, so a short answer leaves no stale bytes to show.
    std::array<uint8_t, kInquiryBufferLength> inquiry{};
    if (Inquiry(m_pSRB, inquiry.data()) == SS_COMP)
        inquiry[kDateEnd] = 0;
    else
        inquiry[kVendorStart] = 0;
    about.m_inquiryData = inquiry.data();
    about.m_hostAdapter = m_config.target.hostAdapter;
    about.m_scsiId = m_config.target.targetId;
    about.m_lun = m_config.target.lun;
    about.DoModal();
    Invalidate();  // the panel then shows how the INQUIRY ended
}

void CChangerDlg::OnScsiTargets() {
    CTargetDlg dialog(this);
    dialog.m_hostAdapter = m_pSRB->exec.SRB_HaId;
    dialog.m_scsiId = m_pSRB->exec.SRB_Target;
    dialog.m_lun = m_pSRB->exec.SRB_Lun;
    if (dialog.DoModal() != ui::kIdOk)
        return;

    model::IniProfile profile(profilePath().toStdString(), ui::applicationName().toStdString());
    const std::string_view section = model::kSavedTargetSection;
    const bool saved = profile.writeInt(section, model::kHostKey, dialog.m_hostAdapter) &&
                       profile.writeInt(section, model::kScsiIdKey, dialog.m_scsiId) &&
                       profile.writeInt(section, model::kLunKey, dialog.m_lun);
    if (!saved)
        ui::showMessage(QStringLiteral("Cannot save the target in %1; it is used until the program ends.")
                            .arg(QString::fromStdString(profile.path())),
                        ui::MessageIcon::exclamation);

    m_config.target.hostAdapter = static_cast<uint8_t>(dialog.m_hostAdapter);
    m_config.target.targetId = static_cast<uint8_t>(dialog.m_scsiId);
    m_config.target.lun = static_cast<uint8_t>(dialog.m_lun);
    RefreshView(m_config);
    Invalidate();
}
