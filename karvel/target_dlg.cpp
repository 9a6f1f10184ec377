// SPDX-License-Identifier: MIT
#include "target_dlg.h"

#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

using namespace karvel;

namespace {
constexpr int32_t kLowestId = 0;
constexpr int32_t kHighestId = 15;
}  // namespace

CTargetDlg::CTargetDlg(QWidget* owner) : TemplateDialog(res::kTargetDialog, owner) {}

void CTargetDlg::DoDataExchange(ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
    dx.integer(res::kIdTargetHost, m_hostAdapter);
    dx.integer(res::kIdTargetLun, m_lun);
    dx.integerRange(res::kIdTargetLun, m_lun, kLowestId, kHighestId);
    dx.integer(res::kIdTargetScsiId, m_scsiId);
    dx.integerRange(res::kIdTargetScsiId, m_scsiId, kLowestId, kHighestId);
}
