// SPDX-License-Identifier: MIT
#include "changer_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include "changer_model/changer_discovery.h"
#include "command_availability.h"
#include "resources/icons.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "ui/data_exchange.h"
#include "ui/input_block.h"
#include "ui/message_box.h"
#include "ui/system_menu.h"

using namespace karvel;

namespace {
constexpr int kSystemBarHeight = 22;  // the bar above the template that holds the menu button
}

CChangerDlg::CChangerDlg(const DiscoveryStart& app, QWidget* parent)
    : TemplateDialog(res::kChangerDialog, parent), m_pSRB(new SRBunion{}), m_app(app) {
    m_hIcon = res::loadIcon(res::kProgramIcon);
    setTopInset(kSystemBarHeight);

    m_systemMenu = new ui::SystemMenu(this, [this](uint32_t id) {
        const ui::InputBlock block;
        OnSysCommand(id, 0);
    });
    m_systemMenuButton = new QToolButton(this);
    m_systemMenuButton->setObjectName(QStringLiteral("systemMenuButton"));
    m_systemMenuButton->setIcon(m_hIcon);
    m_systemMenuButton->setIconSize(QSize(16, 16));
    m_systemMenuButton->setAutoRaise(true);
    m_systemMenuButton->setFocusPolicy(Qt::NoFocus);
    m_systemMenuButton->setToolTip(QStringLiteral("System menu (Alt+Space)"));
    m_systemMenuButton->setGeometry(2, 1, kSystemBarHeight - 2, kSystemBarHeight - 2);
    connect(m_systemMenuButton, &QToolButton::clicked, this, &CChangerDlg::openSystemMenu);
    auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(altSpace, &QShortcut::activated, this, &CChangerDlg::openSystemMenu);
}

CChangerDlg::~CChangerDlg() {
    // Helpers that watch the controls go first, while the dialog and its controls are whole:
    // the controls' own destruction signals would otherwise reach them half torn down.
    const QObjectList children = this->children();
    for (QObject* child : children)
        if (!child->isWidgetType())
            delete child;
    m_systemMenu = nullptr;
    delete m_pSRB;
}

void CChangerDlg::DoDataExchange(ui::DataExchange& dx) {
    TemplateDialog::DoDataExchange(dx);
    dx.control(res::kIdTransportList, m_transportCombo);
    dx.control(res::kIdSlotList, m_slotList);
    dx.control(res::kIdImportExportList, m_ieCombo);
    dx.control(res::kIdDriveList, m_driveCombo);
}

void CChangerDlg::connectControls() {
    const auto onClick = [this](int id, void (CChangerDlg::*handler)()) {
        if (auto* button = itemAs<QPushButton>(id))
            connect(button, &QPushButton::clicked, this, [this, handler] { runCommand(handler); });
    };
    onClick(res::kIdReset, &CChangerDlg::OnReset);
    onClick(res::kIdInitialize, &CChangerDlg::OnInitialize);
    onClick(res::kIdMount, &CChangerDlg::OnMount);
    onClick(res::kIdUnMount, &CChangerDlg::OnUnMount);
    onClick(res::kIdImport, &CChangerDlg::OnImport);
    onClick(res::kIdExport, &CChangerDlg::OnExport);
    onClick(res::kIdNewFirmware, &CChangerDlg::OnNewFirmware);
    onClick(res::kIdClearNvram, &CChangerDlg::OnClearNvram);
    if (auto* list = itemAs<QListWidget>(res::kIdSlotList))
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { runCommand(&CChangerDlg::OnMount); });
    new CommandAvailability({*this, m_slotList, m_driveCombo, m_transportCombo, m_ieCombo});
}

void CChangerDlg::runCommand(void (CChangerDlg::*handler)()) {
    const ui::InputBlock block;
    (this->*handler)();
}

bool CChangerDlg::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    connectControls();

    if (!m_hAspiEvent.create()) {
        ui::showMessage(QStringLiteral("System Error: Cannot Create ASPI Competion Event"),
                        ui::MessageIcon::stop);
        return false;
    }

    m_systemMenu->deleteByCommand(ui::kScMaximize);
    m_systemMenu->deleteByCommand(ui::kScSize);
    const QString aboutText = res::loadString(res::kStrAboutBox);
    const QString targetsText = res::loadString(res::kStrScsiTargets);
    const QString refreshText = res::loadString(res::kStrRefreshView);
    if (!aboutText.isEmpty()) {
        m_systemMenu->insertString(0, res::kIdmScsiTargets, targetsText);
        m_systemMenu->insertString(1, res::kIdmRefreshView, refreshText);
        m_systemMenu->appendSeparator();
        m_systemMenu->appendString(res::kIdmAboutBox, aboutText);
    }

    m_config.target = m_app.m_defaultTarget;
    m_config.target = FindChanger(*m_pSRB, m_app.m_defaultTarget, m_app.m_adapterCount);

    RefreshView(m_config);

    setWindowIcon(m_hIcon);
    return true;
}

void CChangerDlg::openSystemMenu() {
    m_systemMenu->menu()->popup(m_systemMenuButton->mapToGlobal(m_systemMenuButton->rect().bottomLeft()));
}

void CChangerDlg::DefaultSysCommand(uint32_t id, intptr_t) {
    if (id == ui::kScMinimize)
        showMinimized();
    else if (id == ui::kScClose)
        close();
}

QIcon CChangerDlg::OnQueryDragIcon() const {
    return m_hIcon;
}

void CChangerDlg::paintEvent(QPaintEvent* event) {
    OnPaint();
    TemplateDialog::paintEvent(event);
}
