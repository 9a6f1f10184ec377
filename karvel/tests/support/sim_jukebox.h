// SPDX-License-Identifier: MIT
// The simulated jukebox for the program's tests in one process: libwnaspi32.so reads its
// configuration once, so the process has one sim line, written before the layer's first use.
// Each test lays a fresh jukebox into the state file and opens a real main dialog on it.
#pragma once

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "changer_app.h"
#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include "scripted_modal_services.h"
#include "sim/sim_state.h"

namespace karvel::test {

// Returns the state file of the process's jukebox; the first call writes the configuration
// "sim jukebox.state OPTIONS" and points ASPI32_CONFIG at it.
inline const std::string& simStatePath(const char* options = "") {
    static QTemporaryDir dir;
    static const std::string path = [options] {
        const QString config = dir.filePath(QStringLiteral("aspi32.conf"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray("sim jukebox.state ") + options + "\n");
        file.close();
        setenv("ASPI32_CONFIG", config.toLocal8Bit().constData(), 1);
        return dir.filePath(QStringLiteral("jukebox.state")).toStdString();
    }();
    return path;
}

// Moves the disc of 1-based slot n into drive row d, as a mount would have.
inline void putDiscInDrive(int n, int d) {
    aspi::sim::editState(simStatePath(), [&](aspi::sim::JukeboxState& s) {
        auto node = s.discs.extract(s.slotAddress(n));
        node.key() = static_cast<uint16_t>(s.drives.first + d);
        node.mapped().source = s.slotAddress(n);
        s.setRecord(s.slotAddress(n), false);
        s.discs.insert(std::move(node));
    });
}

// Returns the id of the disc at address, or nothing when that element is empty.
inline std::optional<uint32_t> discAt(const aspi::sim::JukeboxState& s, uint16_t address) {
    const aspi::sim::Disc* disc = s.discAt(address);
    return disc ? std::optional<uint32_t>(disc->id) : std::nullopt;
}

class SimDialogTest : public ::testing::Test {
protected:
    // Lays a fresh jukebox, then opens the dialog on it (discovery and the first refresh).
    CChangerDlg& open(const aspi::sim::Seed& seed) {
        aspi::sim::createState(simStatePath(), seed);
        return reopen();
    }
    // Opens a new dialog on the jukebox as it is.
    CChangerDlg& reopen() {
        const uint32_t support = GetAspi32Info();
        EXPECT_EQ((support >> 8) & 0xFF, SS_COMP);
        m_app.m_adapterCount = static_cast<uint8_t>(support & 0xFF);
        m_dlg = std::make_unique<CChangerDlg>(m_app);
        m_dlg->createWindow();
        m_dlg->show();
        return *m_dlg;
    }
    static aspi::sim::JukeboxState state() { return aspi::sim::loadState(simStatePath()); }

    QStringList slotRows() const {
        QStringList rows;
        for (int i = 0; i < m_dlg->m_slotList.getCount(); ++i)
            rows << m_dlg->m_slotList.getText(i);
        return rows;
    }

    ScriptedModalServices m_modal;
    CChangerApp m_app;
    std::unique_ptr<CChangerDlg> m_dlg;
};

}  // namespace karvel::test
