// SPDX-License-Identifier: MIT
// The status panel: its four lines follow the request block at every paint.
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QTest>

#include "changer_dialog_fixture.h"
#include <karvel/nevsel.h>
#include "resources/resource_ids.h"
#include "scratch_profile.h"
#include "scsi_codes.h"
#include "ui/dialog_template.h"
#include "ui/template_dialog.h"

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
        // Every other status fills all four lines from the block as it stands.
        {SS_INVALID_HA, 0x00, 0x00, 0x00, 0x00, {aspiText(SS_INVALID_HA), targetText(0), senseKeyText(0), ascText(0, 0)}},
        {0xFF, 0x08, 0x06, 0x29, 0x00, {aspiText(0xFF), targetText(0x08), senseKeyText(6), ascText(0x29, 0)}},
        {SS_INVALID_SRB, 0x18, 0x0B, 0x47, 0x01,
         {aspiText(SS_INVALID_SRB), targetText(0x18), senseKeyText(0x0B), ascText(0x47, 0x01)}},
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
        m_changer.failures[scsi::READ_ELEMENT_STATUS] = reply;  // the refresh's last command
        open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
        m_dlg->repaint();
        EXPECT_EQ(panel(*m_dlg), c.expected) << int{c.status};
        EXPECT_EQ(m_dlg->m_pSense, m_dlg->m_pSRB->exec.SenseArea);
    }
}

TEST_F(StatusPanelTest, TemplateTextsStayUntilTheFirstPaintAndMarkingForRepaintUpdates) {
    m_dlg = std::make_unique<CChangerDlg>(m_app);
    m_changer.serve(m_aspi);
    m_dlg->createWindow();
    EXPECT_EQ(panel(*m_dlg), std::make_tuple(QStringLiteral("ASPI Status"), QStringLiteral("SCSI Status"),
                                           QStringLiteral("Sense Key "), QStringLiteral("ASC and ASCQ")));
    m_dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    m_dlg->repaint();
    EXPECT_EQ(std::get<0>(panel(*m_dlg)), aspiText(SS_COMP));

    // A handler changes the block and only marks the dialog; the next paint follows it.
    m_dlg->m_pSRB->exec.SRB_Status = SS_ERR;
    m_dlg->m_pSRB->exec.SRB_TargStat = 0x02;
    m_dlg->m_pSRB->exec.SenseArea[2] = 0x02;
    m_dlg->m_pSRB->exec.SenseArea[12] = 0x04;
    m_dlg->m_pSRB->exec.SenseArea[13] = 0x01;
    EXPECT_EQ(std::get<0>(panel(*m_dlg)), aspiText(SS_COMP));
    m_dlg->Invalidate();
    QTest::qWait(50);
    EXPECT_EQ(panel(*m_dlg), std::make_tuple(aspiText(SS_ERR), targetText(0x02), senseKeyText(2), ascText(0x04, 0x01)));
}

// Counts the paint events the window system delivers to one widget, and those that cover the
// whole widget: what marking the whole dialog for repainting brings. A child that repaints
// itself (a list rebuilt, a button's focus) or a label whose text changed brings a paint of its
// own rectangle only, which runs OnPaint() too and so would hide a handler's missing request.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget& widget) : m_widget(widget) { widget.installEventFilter(this); }
    ~PaintCounter() override { m_widget.removeEventFilter(this); }
    int paints = 0;
    int wholePaints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_widget && event->type() == QEvent::Paint) {
            ++paints;
            if (static_cast<QPaintEvent*>(event)->region().boundingRect() == m_widget.rect())
                ++wholePaints;
        }
        return false;
    }

private:
    QWidget& m_widget;
};

// Lets every pending update request and repaint run.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

// Every handler ends by marking the whole dialog for repainting, failed or not: the status
// panel is where a failure is reported. So does ShowDriveContents when its READ ELEMENT STATUS
// fails. The paint events themselves are watched, since a test that called OnPaint() would pass
// for a handler that never asks for one; and only a paint of the whole dialog counts, since
// the controls a handler changes bring paints of their own rectangles.
TEST_F(StatusPanelTest, EveryHandlerRepaintsTheDialogAndThePanelShowsItsFailure) {
    using scsi::INITIALIZE_ELEMENT_STATUS;
    using scsi::INQUIRY;
    using scsi::MODE_SELECT_6;
    using scsi::MOVE_MEDIUM;
    using scsi::POSITION_TO_ELEMENT;
    using scsi::READ_ELEMENT_STATUS;
    using scsi::REZERO_UNIT;
    using scsi::WRITE_BUFFER;
    enum class Panel { failure, completed, notChecked };
    struct Case {
        std::string name;
        uint16_t slotCount;
        std::vector<uint8_t> failing;  // operation codes that fail with NOT READY
        std::function<void(CChangerDlg&, ScriptedModalServices&)> run;
        Panel panel;  // what the panel shows after the handler
    };
    const auto ok = [](ui::TemplateDialog& d) { d.OnOK(); };
    const std::vector<Case> cases = {
        {"mount", 50, {MOVE_MEDIUM}, [](CChangerDlg& d, auto&) { d.OnMount(); }, Panel::failure},
        {"unmount, failed READ ELEMENT STATUS", 50, {READ_ELEMENT_STATUS},
         [](CChangerDlg& d, auto&) { d.OnUnMount(); }, Panel::failure},
        {"import", 50, {POSITION_TO_ELEMENT, MOVE_MEDIUM}, [](CChangerDlg& d, auto&) { d.OnImport(); }, Panel::failure},
        {"export", 50, {MOVE_MEDIUM}, [](CChangerDlg& d, auto&) { d.OnExport(); }, Panel::failure},
        {"reset", 50, {REZERO_UNIT}, [](CChangerDlg& d, auto&) { d.OnReset(); }, Panel::failure},
        {"initialize, up to 18 slots", 18, {INITIALIZE_ELEMENT_STATUS},
         [](CChangerDlg& d, auto&) { d.OnInitialize(); }, Panel::failure},
        {"initialize, over a range", 50, {MODE_SELECT_6},
         [&](CChangerDlg& d, ScriptedModalServices& m) {
             m.operateDialog(ok);
             d.OnInitialize();
         }, Panel::failure},
        {"clear NVRAM", 50, {WRITE_BUFFER},
         [](CChangerDlg& d, ScriptedModalServices& m) {
             m.answerYesNo(true);
             m.answerYesNo(true);
             d.OnClearNvram();
         }, Panel::notChecked},  // the refresh that follows ends the request block's story
        {"new firmware, unknown format", 50, {},
         [](CChangerDlg& d, ScriptedModalServices& m) {
             m.answerFile(ui::FileChoice{QStringLiteral("/nonexistent/fw.txt"), QStringLiteral("txt")});
             d.OnNewFirmware();
         }, Panel::notChecked},  // nothing is sent
        {"about", 50, {INQUIRY}, [](CChangerDlg& d, auto&) { d.OnSysCommand(res::kIdmAboutBox, 0); }, Panel::failure},
        {"SCSI targets", 50, {READ_ELEMENT_STATUS},
         [&](CChangerDlg& d, ScriptedModalServices& m) {
             m.operateDialog(ok);
             d.OnSysCommand(res::kIdmScsiTargets, 0);
         }, Panel::failure},
        {"refresh view", 50, {READ_ELEMENT_STATUS},
         [](CChangerDlg& d, auto&) { d.OnSysCommand(res::kIdmRefreshView, 0); }, Panel::failure},
        // Without a failed READ ELEMENT STATUS the handler's own request is the only one.
        {"SCSI targets, completed", 50, {},
         [&](CChangerDlg& d, ScriptedModalServices& m) {
             m.operateDialog(ok);
             d.OnSysCommand(res::kIdmScsiTargets, 0);
         }, Panel::completed},
        {"refresh view, completed", 50, {},
         [](CChangerDlg& d, auto&) { d.OnSysCommand(res::kIdmRefreshView, 0); }, Panel::completed},
        {"ShowDriveContents, failed READ ELEMENT STATUS", 50, {READ_ELEMENT_STATUS},
         [](CChangerDlg& d, auto&) { d.ShowDriveContents(d.m_config); }, Panel::failure},
    };
    const ScratchProfile profile;  // SCSI Targets saves the target
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.failures.clear();
        m_changer.assignment.storageCount = c.slotCount;
        m_changer.drives = {{true, 5}, {false, 0}};
        open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
        for (uint8_t opcode : c.failing)  // after the dialog has been built
            m_changer.failures[opcode] = Reply::checkCondition(scsi::NOT_READY, 0x04, 0x01);
        // The panel shows an earlier failure (no medium), which the handler's outcome replaces.
        m_dlg->m_pSRB->exec.SRB_Status = SS_ERR;
        m_dlg->m_pSRB->exec.SRB_TargStat = 0x02;
        m_dlg->m_pSRB->exec.SenseArea[2] = scsi::NOT_READY;
        m_dlg->m_pSRB->exec.SenseArea[12] = 0x3A;
        m_dlg->m_pSRB->exec.SenseArea[13] = 0x00;
        m_dlg->repaint();
        settle();
        ASSERT_EQ(m_dlg->itemText(res::kIdAscAscq), ascText(0x3A, 0x00));
        const PaintCounter counter(*m_dlg);
        c.run(*m_dlg, m_modal);
        settle();
        EXPECT_GE(counter.paints, 1);
        EXPECT_GE(counter.wholePaints, 1);
        if (c.panel == Panel::failure) {
            EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(SS_ERR));
            EXPECT_EQ(m_dlg->itemText(res::kIdAscAscq), ascText(0x04, 0x01));
        } else if (c.panel == Panel::completed) {
            EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(SS_COMP));
            EXPECT_EQ(m_dlg->itemText(res::kIdAscAscq), QString());
        }
    }
}

}  // namespace
}  // namespace karvel::test
