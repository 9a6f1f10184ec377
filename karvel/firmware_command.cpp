// SPDX-License-Identifier: MIT
// New Firmware: the operator picks a firmware file; the loader its extension selects turns it
// into a 128 KiB image, which goes to the changer in one WRITE BUFFER (download microcode and
// save, buffer 15). A progress box says which line is being read, and a message box says at
// the end whether the firmware went over. Nothing is sent unless the whole file loaded.
#include <memory>
#include <new>
#include <optional>

#include <QFile>
#include <QFileInfo>

#include "firmware/binary_load.h"
#include "changer_dlg.h"
#include "firmware/firmware_file.h"
#include "firmware/firmware_format.h"
#include "firmware/firmware_image.h"
#include "firmware/load_outcome.h"
#include <karvel/nevsel.h>
#include "progress_dlg.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "firmware/text_load.h"
#include "ui/message_box.h"
#include "ui/modal_services.h"
#include "ui/wait_cursor.h"

using namespace karvel;

namespace {

constexpr uint8_t kDownloadMicrocodeAndSave = 5;
constexpr uint8_t kFirmwareBufferId = 15;

// Returns a new image, all FFh, or null when there is no memory for it (nothing is sent then).
std::unique_ptr<firmware::FirmwareImage> newImage() {
    try {
        return std::make_unique<firmware::FirmwareImage>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// True for the faults of the file itself, whose system reason the operator is shown.
bool isFileFault(firmware::LoadFault fault) {
    return fault == firmware::LoadFault::cannotOpen || fault == firmware::LoadFault::cannotRead;
}

}  // namespace

void CChangerDlg::OnNewFirmware() {
    const QString filter = res::loadString(res::kStrFirmwareFilter);
    const std::optional<ui::FileChoice> chosen =
        ui::modalServices().openFile(this, filter, QStringLiteral("*.mot"));
    if (!chosen)
        return;

    firmware::CFirmwareFile file;
    const bool opened = file.Open(QFile::encodeName(chosen->path).toStdString());
    const QString extension = chosen->extension.toUpper();
    std::unique_ptr<firmware::FirmwareImage> image = newImage();
    bool transfer = false;

    auto* progress = new CProgressDlg(this);
    ui::beginWaitCursor();

    firmware::LoadOutcome outcome;
    if (!opened) {
        outcome = {firmware::LoadFault::cannotOpen, 0, file.SystemReason()};
    } else if (image) {
        const auto textLoad = [&](firmware::TextFormat format, int lineTemplateId) {
            const QString lineTemplate = res::loadString(lineTemplateId);
            return firmware::LoadTextFirmware(file, *image, format, [&](int32_t line) {
                progress->SetText(res::formatString(lineTemplate, {line}));
            });
        };
        switch (firmware::FormatForExtension(extension.toStdString())) {
        case firmware::FirmwareFormat::binary:
            progress->SetText(res::loadString(res::kStrReadingBinary));
            outcome = firmware::LoadBinaryFirmware(file, *image);
            transfer = outcome.ok();
            break;
        case firmware::FirmwareFormat::motorola:
            outcome = textLoad(firmware::TextFormat::motorola, res::kStrReadingMotorola);
            transfer = outcome.ok();
            break;
        case firmware::FirmwareFormat::intelHex:
            outcome = textLoad(firmware::TextFormat::intelHex, res::kStrReadingHex);
            transfer = outcome.ok();
            break;
        case firmware::FirmwareFormat::unknown:
            break;
        }
    }

    progress->SetText(res::loadString(res::kStrTransferringFirmware));
    if (transfer)
        transfer = WriteBuffer(m_pSRB, kDownloadMicrocodeAndSave, kFirmwareBufferId, 0,
                               firmware::kFirmwareImageSize, image->bytes().data()) == SS_COMP;

    QString result = res::loadString(transfer ? res::kStrFirmwareCompleted : res::kStrFirmwareFailed);
    if (isFileFault(outcome.fault))
        result += QLatin1Char('\n') + QFileInfo(chosen->path).fileName() + QStringLiteral(": ") +
                  QString::fromLocal8Bit(firmware::Describe(outcome));
    file.Close();
    Invalidate();
    image.reset();
    progress->DestroyWindow();
    ui::endWaitCursor();
    ui::showMessage(result, ui::MessageIcon::none);
}
