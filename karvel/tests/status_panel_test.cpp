// SPDX-License-Identifier: MIT
// The status panel: its four lines follow the request block at every paint.
#include <tuple>
#include <vector>

#include <QTest>

#include "changer_dialog_fixture.h"
#include <karvel/nevsel.h>
#include "resources/resource_ids.h"
#include "scsi_codes.h"

namespace karvel::test {
namespace {

using StatusPanelTest = ChangerDialogTest;

QString aspiText(uint8_t status) {
    char text[100];
    GetASPIstatus(status, text);
    return QString::fromLatin1(text);
}

QString targetText(uint8_t status) {
    char text[100];
    GetSCSIstatus(status, text);
    return QString::fromLatin1(text);
}

QString senseKeyText(uint8_t key) {
    char text[100];
    GetSenseKey(key, text);
    return QString::fromLatin1(text);
}

QString ascText(uint8_t asc, uint8_t ascq) {
    char text[100];
    GetASC_ASCQ(asc, ascq, text);
    return QString::fromLatin1(text);
}

std::tuple<QString, QString, QString, QString> panel(const CChangerDlg& dlg) {
    return {dlg.itemText(res::kIdAspiStatus), dlg.itemText(res::kIdScsiStatus),
            dlg.itemText(res::kIdSenseKey), dlg.itemText(res::kIdAscAscq)};
}

TEST_F(StatusPanelTest, LinesShowTheLastRequestOfTheRefreshAtThePaint) {
    struct Case {
        uint8_t status, targetStatus, senseByte2, asc, ascq;
        std::tuple<QString, QString, QString, QString> expected;
    };
    const std::vector<Case> cases = {
        {SS_COMP, 0, 0, 0, 0, {aspiText(SS_COMP), QString(), QString(), QString()}},
        {SS_NO_DEVICE, 0, 0, 0, 0, {aspiText(SS_NO_DEVICE), QString(), QString(), QString()}},
        {SS_ERR, 0x02, 0x05, 0x24, 0x00, {aspiText(SS_ERR), targetText(0x02), senseKeyText(5), ascText(0x24, 0)}},
        {SS_ERR, 0x02, 0x25, 0x3B, 0x0D, {aspiText(SS_ERR), targetText(0x02), senseKeyText(5), ascText(0x3B, 0x0D)}},
    };
    for (const Case& c : cases) {
        Reply reply;
        reply.status = c.status;
        reply.targetStatus = c.targetStatus;
        reply.sense.assign(18, 0);
        reply.sense[0] = 0x70;
        reply.sense[2] = c.senseByte2;
        reply.sense[12] = c.asc;
        reply.sense[13] = c.ascq;
        changer.failures[scsi::READ_ELEMENT_STATUS] = reply;  // the refresh's last command
        open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        dlg->repaint();
        EXPECT_EQ(panel(*dlg), c.expected) << int{c.status};
        EXPECT_EQ(dlg->m_pSense, dlg->m_pSRB->exec.SenseArea);
    }
}

TEST_F(StatusPanelTest, TemplateTextsStayUntilTheFirstPaintAndMarkingForRepaintUpdates) {
    dlg = std::make_unique<CChangerDlg>(app);
    changer.serve(aspi);
    dlg->createWindow();
    EXPECT_EQ(panel(*dlg), std::make_tuple(QStringLiteral("ASPI Status"), QStringLiteral("SCSI Status"),
                                           QStringLiteral("Sense Key "), QStringLiteral("ASC and ASCQ")));
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    dlg->repaint();
    EXPECT_EQ(std::get<0>(panel(*dlg)), aspiText(SS_COMP));

    // A handler changes the block and only marks the dialog; the next paint follows it.
    dlg->m_pSRB->exec.SRB_Status = SS_ERR;
    dlg->m_pSRB->exec.SRB_TargStat = 0x02;
    dlg->m_pSRB->exec.SenseArea[2] = 0x02;
    dlg->m_pSRB->exec.SenseArea[12] = 0x04;
    dlg->m_pSRB->exec.SenseArea[13] = 0x01;
    EXPECT_EQ(std::get<0>(panel(*dlg)), aspiText(SS_COMP));
    dlg->Invalidate();
    QTest::qWait(50);
    EXPECT_EQ(panel(*dlg), std::make_tuple(aspiText(SS_ERR), targetText(0x02), senseKeyText(2), ascText(0x04, 0x01)));
}

}  // namespace
}  // namespace karvel::test
