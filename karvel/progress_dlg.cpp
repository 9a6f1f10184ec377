// SPDX-License-Identifier: MIT
#include "progress_dlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QWindow>

#include "resources/resource_ids.h"
#include "ui/data_exchange.h"

using namespace karvel;

namespace {
// How long a new box waits for the window system to map it before going on regardless.
constexpr qint64 kExposeWaitMs = 500;
}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : TemplateDialog(res::kProgressDialog, parent) {
    Create();
}

bool CProgressDlg::Create() {
    const bool created = CreateModeless();
    // Wait for the window to be mapped: only an exposed window can be painted, and the caller
    // processes no events until it ends the box.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
    paintNow();
    return created;
}

void CProgressDlg::SetText(const QString& text) {
    setItemText(res::kIdProgressText, text);
    paintNow();
}

void CProgressDlg::paintNow() {
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressDlg::DestroyWindow() {
    hide();
    deleteLater();
}

void CProgressDlg::DoDataExchange(ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
}

bool CProgressDlg::OnInitDialog() {
    centreOverOwner();
    return TemplateDialog::OnInitDialog();
}

void CProgressDlg::paintEvent(QPaintEvent* event) {
    TemplateDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
