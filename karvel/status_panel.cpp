// SPDX-License-Identifier: MIT
// The status panel: four lines telling how the last request in m_pSRB ended, brought up to
// date at every paint.
#include <QPainter>
#include <QStyle>

#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include "resources/resource_ids.h"

using namespace karvel;

namespace {

// The one text buffer the four lines are produced into, in turn.
char gStatusText[100];

}  // namespace

void CChangerDlg::OnPaint() {
    if (isMinimized()) {
        QPainter painter(this);
        const int iconWidth = style()->pixelMetric(QStyle::PM_LargeIconSize);
        const int iconHeight = iconWidth;
        const int x = (width() - iconWidth + 1) / 2;
        const int y = (height() - iconHeight + 1) / 2;
        m_hIcon.paint(&painter, x, y, iconWidth, iconHeight);
        return;
    }

    m_pSense = m_pSRB->exec.SenseArea;
    const uint8_t status = m_pSRB->exec.SRB_Status;
    GetASPIstatus(status, gStatusText);
    setItemText(res::kIdAspiStatus, QString::fromLatin1(gStatusText));
    if (status == SS_COMP || status == SS_NO_DEVICE) {
        gStatusText[0] = '\0';
        setItemText(res::kIdScsiStatus, QString());
        setItemText(res::kIdSenseKey, QString());
        setItemText(res::kIdAscAscq, QString());
        return;
    }
    GetSCSIstatus(m_pSRB->exec.SRB_TargStat, gStatusText);
    setItemText(res::kIdScsiStatus, QString::fromLatin1(gStatusText));
    GetSenseKey(m_pSense[2] & 0x0F, gStatusText);
    setItemText(res::kIdSenseKey, QString::fromLatin1(gStatusText));
    GetASC_ASCQ(m_pSense[12], m_pSense[13], gStatusText);
    setItemText(res::kIdAscAscq, QString::fromLatin1(gStatusText));
}
