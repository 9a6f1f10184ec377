// SPDX-License-Identifier: MIT
// New Firmware in the real main dialog on the scripted changer, with the file dialog answered
// by the test: what the progress box paints, what is sent, the result box and the panel.
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "changer_dialog_fixture.h"
#include <karvel/nevsel.h>
#include "progress_dlg.h"
#include "qstring_print.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "scsi_codes.h"
#include "ui/wait_cursor.h"

namespace karvel::test {
namespace {

constexpr size_t kImageSize = 131072;

const QString kCompleted = QStringLiteral("Writing New Firmware Completed");
const QString kFailed = QStringLiteral("ERROR: New Firmware NOT transfered");
const QString kTransferring = QStringLiteral("Transfering Firmware to Changer");
const QString kReadingBinary = QStringLiteral("Reading Binary File");

QString motLine(int n) { return QStringLiteral("Reading Motorola format line %1 ").arg(n); }
QString hexLine(int n) { return QStringLiteral("Reading Hex format line %1").arg(n); }

using Panel = std::tuple<QString, QString, QString, QString>;

Panel panelFor(uint8_t status, uint8_t targetStatus, uint8_t key, uint8_t asc, uint8_t ascq) {
    char a[100], s[100], k[100], c[100];
    GetASPIstatus(status, a);
    GetSCSIstatus(targetStatus, s);
    GetSenseKey(key, k);
    GetASC_ASCQ(asc, ascq, c);
    return {QString::fromLatin1(a), QString::fromLatin1(s), QString::fromLatin1(k), QString::fromLatin1(c)};
}

// The texts the progress box paints, in order (a text painted again at once is noted once),
// and each command sent, with what the box showed then and whether the wait cursor was up.
class ProgressLog : public QObject {
public:
    ProgressLog() { qApp->installEventFilter(this); }
    ~ProgressLog() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || watched->objectName() != ui::controlObjectName(res::kIdProgressText))
            return false;
        auto* label = qobject_cast<QLabel*>(watched);
        if (label && qobject_cast<CProgressDlg*>(label->parent()) && (painted.empty() || painted.back() != label->text()))
            painted.push_back(label->text());
        return false;
    }

    void noteCommand(uint8_t opcode) {
        const bool waiting = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        commands.push_back({opcode, painted.empty() ? QString() : painted.back(), waiting});
    }

    std::vector<QString> painted;
    std::vector<std::tuple<uint8_t, QString, bool>> commands;  // (opcode, box text, wait cursor)
};

enum class FileKind { file, directory, missing };

// (file name, kind, contents)
struct FirmwareFile {
    QString name;
    FileKind kind = FileKind::file;
    QByteArray contents;
};

void PrintTo(const FirmwareFile& f, std::ostream* out) {
    *out << f.name.toStdString();
}

class FirmwareCommandTest : public ChangerDialogTest {
protected:
    // Opens the dialog with the panel showing a distinct last command: a refused READ ELEMENT STATUS.
    void openWithDistinctPanel() {
        m_changer.failures[scsi::READ_ELEMENT_STATUS] = Reply::checkCondition(0x06, 0x28, 0x00);
        open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    }

    // Returns the file dialog's answer for f, made in the scratch directory.
    ui::FileChoice choose(const FirmwareFile& f) {
        const QString path = m_dir.filePath(f.name);
        if (f.kind == FileKind::directory) {
            QDir().mkpath(path);
        } else if (f.kind == FileKind::file) {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(f.contents);
        }
        return {path, QFileInfo(path).suffix()};  // as the file dialog reports it
    }

    // Clicks New Firmware with the file dialog answered by answer; returns the requests sent.
    std::vector<SeenRequest> clickNewFirmware(std::optional<ui::FileChoice> answer) {
        m_modal.answerFile(std::move(answer));
        const size_t before = m_aspi.requests().size();
        m_aspi.answerWith([this](const SeenRequest& r) {
            m_log.noteCommand(r.cdb.at(0));
            return m_changer.respond(r);
        });
        m_dlg->itemAs<QPushButton>(res::kIdNewFirmware)->click();
        std::vector<SeenRequest> sent = m_aspi.requests();
        sent.erase(sent.begin(), sent.begin() + static_cast<long>(before));
        return sent;
    }

    Panel panel() {
        m_dlg->repaint();
        return {m_dlg->itemText(res::kIdAspiStatus), m_dlg->itemText(res::kIdScsiStatus),
                m_dlg->itemText(res::kIdSenseKey), m_dlg->itemText(res::kIdAscAscq)};
    }

    // True when no progress box is left on screen and the normal cursor is back.
    bool cleanedUp() const {
        for (const CProgressDlg* box : m_dlg->findChildren<CProgressDlg*>())
            if (box->isVisible())
                return false;
        return ui::waitCursorDepth() == 0 && QApplication::overrideCursor() == nullptr;
    }

    // Returns the last message box's (text, icon, buttons).
    std::tuple<QString, ui::MessageIcon, ui::MessageButtons> lastMessage() const {
        if (m_modal.messages().empty())
            return {};
        const ShownMessage& m = m_modal.messages().back();
        return {m.text, m.icon, m.buttons};
    }

    QTemporaryDir m_dir;
    ProgressLog m_log;
};

// Returns a 128 KiB image of FFh with bytes stored at offset.
std::vector<uint8_t> imageWith(size_t offset, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> image(kImageSize, 0xFF);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<long>(offset));
    return image;
}

const std::vector<uint8_t> k01020304{0x01, 0x02, 0x03, 0x04};
const std::vector<uint8_t> kTwice01020304{0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0x03, 0x04};

TEST_F(FirmwareCommandTest, TheFileDialogOffersTheFirmwareFilesAndACancelDoesNothing) {
    openWithDistinctPanel();
    const Panel before = panel();
    EXPECT_TRUE(clickNewFirmware(std::nullopt).empty());
    ASSERT_EQ(m_modal.fileDialogs().size(), 1u);
    EXPECT_EQ(std::tuple(m_modal.fileDialogs()[0].filter, m_modal.fileDialogs()[0].initialName),
              std::tuple(QStringLiteral("Motorola Files (*.mot)|*.mot|Binary Files (*.bin)|*.bin|HexFiles (*.hex)|*.hex|"
                                        "All Files (*.*)|*.*||"),
                         QStringLiteral("*.mot")));
    EXPECT_TRUE(m_modal.messages().empty());
    EXPECT_TRUE(m_log.painted.empty());
    EXPECT_TRUE(m_dlg->findChildren<CProgressDlg*>().empty());
    EXPECT_EQ(panel(), before);
}

// (file, what the progress box paints after its template text, image sent)
using DownloadCase = std::tuple<FirmwareFile, std::vector<QString>, std::vector<uint8_t>>;

class FirmwareDownloadTest : public FirmwareCommandTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(FirmwareDownloadTest, SendsTheWholeImageInOneWriteBuffer) {
    const auto& [file, progress, image] = GetParam();
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    const std::vector<SeenRequest> sent = clickNewFirmware(choose(file));

    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cdb, (std::vector<uint8_t>{0x3B, 0x05, 0x0F, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(sent[0].bufLen, kImageSize);
    EXPECT_TRUE(sent[0].dataOut == image);
    std::vector<QString> painted{QStringLiteral("Static")};
    painted.insert(painted.end(), progress.begin(), progress.end());
    EXPECT_EQ(m_log.painted, painted);
    EXPECT_EQ(m_log.commands, (std::vector<std::tuple<uint8_t, QString, bool>>{{scsi::WRITE_BUFFER, kTransferring, true}}));
    EXPECT_EQ(lastMessage(), std::tuple(kCompleted, ui::MessageIcon::none, ui::MessageButtons::ok));
    EXPECT_EQ(m_modal.messages().size(), 1u);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(std::get<0>(panel()), std::get<0>(panelFor(SS_COMP, 0, 0, 0, 0)));
}

INSTANTIATE_TEST_SUITE_P(Files, FirmwareDownloadTest, ::testing::Values(
    // The extension is compared in upper case: firmware.Mot is read as S-records.
    DownloadCase{{QStringLiteral("firmware.Mot"), FileKind::file,
                  "S00600004844521B\r\nS107001001020304DE\r\nS9030000FC\r\n"},
                 {motLine(1), motLine(2), motLine(3), kTransferring}, imageWith(0x10, k01020304)},
    // Every line read is shown, records without data included.
    DownloadCase{{QStringLiteral("rom.hex"), FileKind::file,
                  ":02000002D0002C\r\n:0400100001020304E2\r\n:00000001FF\r\n"},
                 {hexLine(1), hexLine(2), hexLine(3), kTransferring}, imageWith(0x10010, k01020304)},
    DownloadCase{{QStringLiteral("rom.BIN"), FileKind::file, QByteArray("\x01\x02\x03\x04", 4)},
                 {kReadingBinary, kTransferring}, imageWith(0, k01020304)},
    // An empty line is counted and shown, and the records after it are still loaded.
    DownloadCase{{QStringLiteral("blank.mot"), FileKind::file,
                  "S107001001020304DE\r\n\r\nS107001401020304DA\r\n"},
                 {motLine(1), motLine(2), motLine(3), kTransferring}, imageWith(0x10, kTwice01020304)}
));

// (file, what the progress box paints after its template text, result text)
using FailureCase = std::tuple<FirmwareFile, std::vector<QString>, QString>;

class FirmwareFailureTest : public FirmwareCommandTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FirmwareFailureTest, SendsNothingAndSaysSo) {
    const auto& [file, progress, result] = GetParam();
    openWithDistinctPanel();
    const Panel before = panel();
    EXPECT_TRUE(clickNewFirmware(choose(file)).empty());

    std::vector<QString> painted{QStringLiteral("Static")};
    painted.insert(painted.end(), progress.begin(), progress.end());
    EXPECT_EQ(m_log.painted, painted);
    EXPECT_EQ(lastMessage(), std::tuple(result, ui::MessageIcon::none, ui::MessageButtons::ok));
    EXPECT_EQ(m_modal.messages().size(), 1u);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(panel(), before);  // still the command sent before New Firmware
    EXPECT_EQ(before, panelFor(SS_ERR, scsi::CHECK_CONDITION, 0x06, 0x28, 0x00));
}

INSTANTIATE_TEST_SUITE_P(Files, FirmwareFailureTest, ::testing::Values(
    FailureCase{{QStringLiteral("bad.mot"), FileKind::file,
                 "S00600004844521B\r\nS107001001020304DE\r\nS107002001020304DF\r\nS9030000FC\r\n"},
                {motLine(1), motLine(2), motLine(3), kTransferring}, kFailed},
    FailureCase{{QStringLiteral("end.MOT"), FileKind::file, "S20801FFFC01020304F1\r\nS804000000FB\r\n"},
                {motLine(1), motLine(2), kTransferring}, kFailed},
    FailureCase{{QStringLiteral("bad.hex"), FileKind::file, ":0400100001020304E2\r\n\r\n:0400100001020304E3\r\n"},
                {hexLine(1), hexLine(2), hexLine(3), kTransferring}, kFailed},
    FailureCase{{QStringLiteral("rom.s19"), FileKind::file, "S107001001020304DE\r\n"}, {kTransferring}, kFailed},
    FailureCase{{QStringLiteral("rom.txt"), FileKind::file, "S107001001020304DE\r\n"}, {kTransferring}, kFailed},
    FailureCase{{QStringLiteral("rom"), FileKind::file, "S107001001020304DE\r\n"}, {kTransferring}, kFailed},
    FailureCase{{QStringLiteral("empty.bin"), FileKind::file, ""}, {kReadingBinary, kTransferring}, kFailed},
    FailureCase{{QStringLiteral("big.bin"), FileKind::file, QByteArray(kImageSize + 1, '\x5A')},
                {kReadingBinary, kTransferring}, kFailed},
    // A file that cannot be read or opened names the system's reason on a second line.
    FailureCase{{QStringLiteral("dir.mot"), FileKind::directory, ""}, {kTransferring},
                kFailed + QStringLiteral("\ndir.mot: cannot open: is a directory")},
    FailureCase{{QStringLiteral("gone.bin"), FileKind::missing, ""}, {kTransferring},
                kFailed + QStringLiteral("\ngone.bin: cannot open: No such file or directory")}
));

TEST_F(FirmwareCommandTest, AFailedWriteBufferSaysNotTransferredAndThePanelShowsIt) {
    m_changer.failures[scsi::WRITE_BUFFER] = Reply::checkCondition(0x04, 0x44, 0x00);
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    const std::vector<SeenRequest> sent =
        clickNewFirmware(choose({QStringLiteral("rom.bin"), FileKind::file, QByteArray(kImageSize, '\x11')}));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cdb.at(0), scsi::WRITE_BUFFER);
    EXPECT_EQ(lastMessage(), std::tuple(kFailed, ui::MessageIcon::none, ui::MessageButtons::ok));
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(panel(), panelFor(SS_ERR, scsi::CHECK_CONDITION, 0x04, 0x44, 0x00));
}

TEST_F(FirmwareCommandTest, ASecondRunNumbersFromOneAndStartsAtSegmentBaseZero) {
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    const std::vector<SeenRequest> first = clickNewFirmware(
        choose({QStringLiteral("a.hex"), FileKind::file, ":02000002D0002C\r\n:0400100001020304E2\r\n:00000001FF\r\n"}));
    const std::vector<QString> firstPainted = m_log.painted;
    m_log.painted.clear();
    const std::vector<SeenRequest> second = clickNewFirmware(
        choose({QStringLiteral("b.hex"), FileKind::file, ":0400100001020304E2\r\n:00000001FF\r\n"}));

    EXPECT_EQ(firstPainted, (std::vector<QString>{QStringLiteral("Static"), hexLine(1), hexLine(2), hexLine(3), kTransferring}));
    EXPECT_EQ(m_log.painted, (std::vector<QString>{QStringLiteral("Static"), hexLine(1), hexLine(2), kTransferring}));
    ASSERT_EQ(std::tuple(first.size(), second.size()), std::tuple(1u, 1u));
    EXPECT_TRUE(first[0].dataOut == imageWith(0x10010, k01020304));
    EXPECT_TRUE(second[0].dataOut == imageWith(0x10, k01020304));
    EXPECT_EQ(m_modal.messages().size(), 2u);
    EXPECT_EQ(lastMessage(), std::tuple(kCompleted, ui::MessageIcon::none, ui::MessageButtons::ok));
}

}  // namespace
}  // namespace karvel::test
