// SPDX-License-Identifier: MIT
// The main dialog (template 102): finds the changer, shows its slots, drives, transports
// and import/export ports and the status of the last request, and runs the operator's
// commands. It owns the program's one request block: every SCSI request goes through it.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include <QIcon>

#include "aspi_event.h"
#include "changer_model/changer_config.h"
#include "discovery_start.h"
#include "ui/combo_box.h"
#include "ui/list_box.h"
#include "ui/template_dialog.h"
#include <karvel/wnaspi32.h>

class QToolButton;

namespace karvel::ui {
class SystemMenu;
}

class CChangerDlg : public karvel::ui::TemplateDialog {
    Q_OBJECT

public:
    // app (the application object) supplies the adapter count and the saved target; it must
    // outlive the dialog.
    explicit CChangerDlg(const DiscoveryStart& app, QWidget* parent = nullptr);
    ~CChangerDlg() override;

    // Inventory view: readdresses m_pSRB to config's target and rebuilds the whole view.
    void RefreshView(ChangerConfig& config);
    // Rebuilds the slot list from the changer's fullness records.
    void FillSlotList(ChangerConfig& config);
    // Marks the slots whose disc sits in a drive.
    void ShowDriveContents(ChangerConfig& config);

    // The operator's commands.
    void OnMount();
    void OnUnMount();
    void OnImport();
    void OnExport();
    void OnReset();
    void OnInitialize();
    void OnClearNvram();
    void OnNewFirmware();
    // A system-menu command: About (16), SCSI Targets (17), Refresh View (18), or the
    // platform's own, which goes to DefaultSysCommand.
    void OnSysCommand(uint32_t id, intptr_t param);
    void OnAbout();
    void OnScsiTargets();

    // Status panel: brings the four lines up to date from m_pSRB (or draws the icon when
    // minimised). Runs at every paint.
    void OnPaint();
    // Returns the image shown while the minimised window is dragged.
    QIcon OnQueryDragIcon() const;

    // Returns the dialog's own system menu.
    karvel::ui::SystemMenu& systemMenu() const { return *m_systemMenu; }
    // Opens the system menu under its button (as a click on the icon or Alt+Space does).
    void openSystemMenu();

    uint16_t m_driveBase = 0;
    SRBunion* m_pSRB;
    uint8_t* m_pSense = nullptr;
    ChangerConfig m_config{};
    karvel::ui::ComboBox m_transportCombo;
    karvel::ui::ListBox m_slotList;
    karvel::ui::ComboBox m_ieCombo;
    karvel::ui::ComboBox m_driveCombo;
    AspiEvent m_hAspiEvent;
    QIcon m_hIcon;
    // Initialize's start and stop addresses, set at its first use and by its prompt's OK.
    std::optional<std::pair<int32_t, int32_t>> m_initializeRange;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(karvel::ui::DataExchange& dx) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The platform's handling of its own system commands (Minimize, Close).
    void DefaultSysCommand(uint32_t id, intptr_t param);
    void connectControls();
    // Runs one operator command with input discarded until its repaint is done.
    void runCommand(void (CChangerDlg::*handler)());

    const DiscoveryStart& m_app;
    karvel::ui::SystemMenu* m_systemMenu = nullptr;
    QToolButton* m_systemMenuButton = nullptr;
};
