// SPDX-License-Identifier: MIT
// The real main dialog on a changer played by the scripted ASPI fake, with every modal box
// answered by a script. Tests set `changer` (and `app`) up, then call open().
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QStringList>

#include "changer_app.h"
#include "changer_dlg.h"
#include "scripted_aspi.h"
#include "scripted_changer.h"
#include "scripted_modal_services.h"

namespace karvel::test {

class ChangerDialogTest : public ::testing::Test {
protected:
    ChangerDialogTest() {
        m_app.m_adapterCount = 1;
        m_aspi.addDevice(0, 0, 0, 8);
    }

    // Creates the dialog (discovery and the first refresh run) and puts it on screen.
    CChangerDlg& open() {
        m_changer.serve(m_aspi);
        m_dlg = std::make_unique<CChangerDlg>(m_app);
        m_dlg->createWindow();
        m_dlg->show();
        return *m_dlg;
    }

    // Returns the slot list's rows.
    QStringList slotRows() const {
        QStringList rows;
        for (int i = 0; i < m_dlg->m_slotList.getCount(); ++i)
            rows << m_dlg->m_slotList.getText(i);
        return rows;
    }

    // Returns the rows of a combo box.
    static QStringList rowsOf(const ui::ComboBox& box) {
        QStringList rows;
        for (int i = 0; i < box.getCount(); ++i)
            rows << box.getText(i);
        return rows;
    }

    ScriptedAspi m_aspi;
    ScriptedModalServices m_modal;
    ScriptedChanger m_changer;
    CChangerApp m_app;
    std::unique_ptr<CChangerDlg> m_dlg;
};

}  // namespace karvel::test
