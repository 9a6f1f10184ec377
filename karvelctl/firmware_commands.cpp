// SPDX-License-Identifier: MIT
// firmware check: `karvel --check-firmware` under karvelctl's name. firmware download: New
// Firmware without the dialogs: the file is loaded by its extension with the same loaders, and
// only a whole load goes to the changer, in the same single WRITE BUFFER.
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "firmware/check_firmware_command.h"
#include "command_support.h"
#include "exit_codes.h"
#include "firmware/firmware_format.h"
#include "firmware/firmware_image.h"
#include "firmware/firmware_loader.h"
#include "firmware/load_outcome.h"
#include <karvel/nevsel.h>
#include "progress.h"
#include "vendor_commands.h"

namespace karvel::ctl {

namespace {

constexpr uint8_t kDownloadMicrocodeAndSave = 5;
constexpr uint8_t kFirmwareBufferId = 15;
constexpr const char* kNotTransferred = "ERROR: New Firmware NOT transfered";
constexpr const char* kCompleted = "Writing New Firmware Completed";

int checkFirmware(CommandContext& context, std::span<const std::string> words) {
    const std::vector<std::string_view> args(words.begin(), words.end());
    const firmware::CheckFirmwareWording wording{"karvelctl: firmware: ",
                                                 "usage: karvelctl firmware check FILE [--image OUT]"};
    // Its exit codes are karvelctl's: 0 loaded, 1 not loaded, 2 usage.
    return firmware::RunCheckFirmware(args, context.out, context.err, wording);
}

int downloadFirmware(CommandContext& context, std::span<const std::string> words) {
    std::string why;
    const std::optional<CommandArguments> args =
        parseCommandArguments(std::vector<std::string>(words.begin(), words.end()), {"--yes"}, 1, why);
    if (!args || args->positionals.size() != 1)
        return usageError(context, args ? "give the firmware FILE" : why);
    if (!args->has("--yes"))
        return usageError(context, "download replaces the changer's firmware; add --yes to send the file");
    const std::string& file = args->positionals[0];

    // Loaded before the changer is opened: a file that does not load touches no device.
    std::unique_ptr<firmware::FirmwareImage> image;
    try {
        image = std::make_unique<firmware::FirmwareImage>();
    } catch (const std::bad_alloc&) {
        return commandFailure(context, std::string("no memory for the firmware image\n") + kNotTransferred);
    }
    const firmware::FirmwareFormat format = firmware::FormatForExtension(firmware::FileExtension(file));
    const firmware::LoadOutcome outcome = firmware::LoadFirmwareFile(file, format, *image);
    if (!outcome.ok())
        return commandFailure(context, file + ": " + firmware::Describe(outcome) + "\n" + kNotTransferred);

    ChangerSession* session = context.changer();
    if (!session)
        return context.openFailureExit();
    SRBunion& srb = session->requestBlock();
    bool transferred = false;
    {
        Progress progress(context.out, context.stdoutIsTerminal, "Transfering Firmware to Changer");
        transferred = WriteBuffer(&srb, kDownloadMicrocodeAndSave, kFirmwareBufferId, 0, firmware::kFirmwareImageSize,
                                  image->bytes().data()) == SS_COMP;
    }
    if (!transferred) {
        reportFailure(context.err, failedRequest("WRITE BUFFER of the Firmware Image Failed", srb));
        context.err << kNotTransferred << '\n';
        return kExitFailed;
    }
    context.out << kCompleted << '\n';
    return kExitSuccess;
}

}  // namespace

int runFirmware(CommandContext& context) {
    const std::vector<std::string>& words = context.arguments;
    const std::span<const std::string> rest = words.empty() ? std::span<const std::string>()
                                                            : std::span<const std::string>(words).subspan(1);
    if (!words.empty() && words[0] == "check")
        return checkFirmware(context, rest);
    if (!words.empty() && words[0] == "download")
        return downloadFirmware(context, rest);
    return usageError(context, words.empty() ? "give check or download" : "unknown action '" + words[0] + "'");
}

}  // namespace karvel::ctl
