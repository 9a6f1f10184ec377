// SPDX-License-Identifier: MIT
// New Firmware in the real main dialog on the simulated jukebox through libwnaspi32.so: the
// jukebox keeps the image it was sent, for files that srec_cat wrote from a known image. The
// layer reads its configuration once, so the process has one sim line; each test lays a fresh
// jukebox into its state file.
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "changer_app.h"
#include "changer_dlg.h"
#include <karvel/nevsel.h>
#include "qstring_print.h"
#include "resources/resource_ids.h"
#include "scripted_modal_services.h"
#include "sim/sim_state.h"

namespace karvel::test {
namespace {

constexpr size_t kImageSize = 131072;

// The process's sim configuration, made before the layer's first use.
QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

const std::string& statePath() {
    static const std::string path = [] {
        const QString config = scratch().filePath(QStringLiteral("aspi32.conf"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write("sim jukebox.state\n");
        file.close();
        setenv("ASPI32_CONFIG", config.toLocal8Bit().constData(), 1);
        return scratch().filePath(QStringLiteral("jukebox.state")).toStdString();
    }();
    return path;
}

// A full image of random bytes, the same in every run.
const std::vector<uint8_t>& knownImage() {
    static const std::vector<uint8_t> image = [] {
        std::mt19937 random(20240611);
        std::vector<uint8_t> bytes(kImageSize);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        return bytes;
    }();
    return image;
}

QString senseText(uint8_t key, uint8_t asc, uint8_t ascq) {
    char k[100], c[100];
    GetSenseKey(key, k);
    GetASC_ASCQ(asc, ascq, c);
    return QString::fromLatin1(k) + QLatin1Char('|') + QString::fromLatin1(c);
}

class SimFirmwareTest : public ::testing::Test {
protected:
    void SetUp() override {
        aspi::sim::createState(statePath(), {.slots = 20, .drives = 1});
        QFile image(m_dir.filePath(QStringLiteral("full.bin")));
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(reinterpret_cast<const char*>(knownImage().data()), static_cast<qint64>(knownImage().size()));
        image.close();

        const uint32_t support = GetAspi32Info();
        ASSERT_EQ((support >> 8) & 0xFF, SS_COMP);
        m_app.m_adapterCount = static_cast<uint8_t>(support & 0xFF);
        m_dlg = std::make_unique<CChangerDlg>(m_app);
        m_dlg->createWindow();
        m_dlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    }

    // Runs srec_cat with args in the scratch directory; a missing srec_cat fails the test.
    void srecCat(const QString& args) {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("srec_cat"), QProcess::splitCommand(args));
        ASSERT_TRUE(process.waitForStarted()) << "srec_cat not found: run scripts/setup";
        ASSERT_TRUE(process.waitForFinished());
        ASSERT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
    }

    // Clicks New Firmware with name chosen in the file dialog; returns the result box's text.
    QString newFirmware(const QString& name) {
        const QString path = m_dir.filePath(name);
        m_modal.answerFile(ui::FileChoice{path, QFileInfo(path).suffix()});
        m_dlg->itemAs<QPushButton>(res::kIdNewFirmware)->click();
        return m_modal.messages().empty() ? QString() : m_modal.messages().back().text;
    }

    static std::string storedDigest() { return aspi::sim::loadState(statePath()).firmwareDigest; }

    QTemporaryDir m_dir;
    ScriptedModalServices m_modal;
    CChangerApp m_app;
    std::unique_ptr<CChangerDlg> m_dlg;
};

// (srec_cat arguments that write the file from full.bin, empty for full.bin itself; file)
using DownloadCase = std::tuple<QString, QString>;

class SimFirmwareDownloadTest : public SimFirmwareTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(SimFirmwareDownloadTest, TheJukeboxKeepsTheImageOfTheFile) {
    const auto& [write, file] = GetParam();
    if (!write.isEmpty()) {
        ASSERT_NO_FATAL_FAILURE(srecCat(write));
    }
    EXPECT_EQ(newFirmware(file), QStringLiteral("Writing New Firmware Completed"));
    EXPECT_EQ(storedDigest(), aspi::sim::firmwareDigest(knownImage()));
    EXPECT_TRUE(aspi::sim::loadFirmware(statePath()) == knownImage());
}

INSTANTIATE_TEST_SUITE_P(Files, SimFirmwareDownloadTest, ::testing::Values(
    DownloadCase{QStringLiteral("full.bin -binary -o f.mot -motorola -disable=data-count -crlf "
                                "-execution-start-address=0"),
                 QStringLiteral("f.mot")},
    DownloadCase{QStringLiteral("full.bin -binary -offset 0xC0000 -o F.HEX -intel -address-length=3 -crlf"),
                 QStringLiteral("F.HEX")},
    DownloadCase{QString(), QStringLiteral("full.bin")}
));

TEST_F(SimFirmwareTest, AFileThatFailsLeavesTheFirmwareOfTheLastDownload) {
    ASSERT_EQ(newFirmware(QStringLiteral("full.bin")), QStringLiteral("Writing New Firmware Completed"));
    QFile bad(m_dir.filePath(QStringLiteral("bad.mot")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("S107001001020304DE\r\nS107002001020304DF\r\n");
    bad.close();
    EXPECT_EQ(newFirmware(QStringLiteral("bad.mot")), QStringLiteral("ERROR: New Firmware NOT transfered"));
    EXPECT_EQ(storedDigest(), aspi::sim::firmwareDigest(knownImage()));
}

TEST_F(SimFirmwareTest, ARefusedDownloadIsReportedAndThePanelShowsItsSense) {
    aspi::sim::injectFault(statePath(), {.key = 4, .asc = 0x44, .ascq = 0x00, .opcode = 0x3B});
    EXPECT_EQ(newFirmware(QStringLiteral("full.bin")), QStringLiteral("ERROR: New Firmware NOT transfered"));
    EXPECT_TRUE(storedDigest().empty());
    m_dlg->repaint();
    char failed[100];
    GetASPIstatus(SS_ERR, failed);
    EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), QString::fromLatin1(failed));
    EXPECT_EQ(m_dlg->itemText(res::kIdSenseKey) + QLatin1Char('|') + m_dlg->itemText(res::kIdAscAscq),
              senseText(4, 0x44, 0x00));
}

}  // namespace
}  // namespace karvel::test
