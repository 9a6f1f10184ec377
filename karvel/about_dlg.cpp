// SPDX-License-Identifier: MIT
#include "about_dlg.h"

#include <algorithm>

#include "resources/icons.h"
#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

using namespace karvel;

namespace {

// Returns count bytes of data from offset from, ending early at a zero byte.
QString fieldText(const uint8_t* data, size_t from, size_t count) {
    const uint8_t* begin = data + from;
    const uint8_t* end = std::find(begin, begin + count, uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(begin), end - begin);
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* owner) : TemplateDialog(res::kAboutDialog, owner) {}

QIcon CAboutDlg::templateIcon(int id) const {
    return res::loadIcon(id);
}

void CAboutDlg::DoDataExchange(ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
}

bool CAboutDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    centreOverOwner();

    setItemText(res::kIdHost, QString::number(m_hostAdapter));
    setItemText(res::kIdScsiId, QString::number(m_scsiId));
    setItemText(res::kIdLun, QString::number(m_lun));

    const bool known = m_inquiryData && m_inquiryData[8] != 0;
    setItemText(res::kIdVendor, known ? fieldText(m_inquiryData, 8, 8) : QString());
    setItemText(res::kIdProduct, known ? fieldText(m_inquiryData, 16, 16) : QString());
    setItemText(res::kIdRevision, known ? fieldText(m_inquiryData, 32, 4) : QString());
    setItemText(res::kIdDate, known ? fieldText(m_inquiryData, 36, 11) : QString());
    return true;
}
