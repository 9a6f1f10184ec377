// SPDX-License-Identifier: MIT
#include "firmware/check_firmware.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "firmware/check_firmware_command.h"
#include "firmware/firmware_format.h"
#include "firmware/firmware_image.h"
#include "firmware/firmware_loader.h"
#include "image_output.h"
#include "outside_text.h"

namespace karvel::firmware {

namespace {

struct CheckArguments {
    std::string file;
    std::optional<std::string> image;
};

std::optional<CheckArguments> ParseArguments(std::span<const std::string_view> args) {
    CheckArguments parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--image") {
            if (parsed.image || i + 1 == args.size()) return std::nullopt;
            parsed.image = std::string(args[++i]);
        } else if (args[i].starts_with("--") || haveFile) {
            return std::nullopt;
        } else {
            parsed.file = std::string(args[i]);
            haveFile = true;
        }
    }
    if (!haveFile || parsed.file.empty() || (parsed.image && parsed.image->empty()))
        return std::nullopt;
    return parsed;
}

}  // namespace

int RunCheckFirmware(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                     const CheckFirmwareWording& wording) {
    const auto parsed = ParseArguments(args);
    if (!parsed) {
        err << wording.usage << '\n';
        return 2;
    }
    const FirmwareFormat format = FormatForExtension(FileExtension(parsed->file));
    FirmwareImage image;
    int32_t lines = 0;
    const LoadOutcome outcome =
        LoadFirmwareFile(parsed->file, format, image, [&lines](int32_t line) { lines = line; });
    if (!outcome.ok()) {
        err << wording.prefix << escapeText(parsed->file) << ": " << Describe(outcome) << '\n';
        return 1;
    }
    if (parsed->image) {
        const std::string failure = WriteFileAtomically(*parsed->image, image.bytes());
        if (!failure.empty()) {
            err << wording.prefix << "cannot write " << escapeText(*parsed->image) << ": " << failure << '\n';
            return 1;
        }
    }
    out << escapeText(parsed->file) << ": loads as " << FormatName(format);
    if (format != FirmwareFormat::binary) out << ", " << lines << (lines == 1 ? " line" : " lines");
    out << '\n';
    return 0;
}

}  // namespace karvel::firmware

int checkFirmwareMain(int argc, char** argv) {
    try {
        std::vector<std::string_view> args;
        for (int i = 2; i < argc; ++i) args.emplace_back(argv[i]);
        return karvel::firmware::RunCheckFirmware(args, std::cout, std::cerr);
    } catch (const std::exception& e) {  // exhausted memory, mostly
        std::cerr << "karvel: " << e.what() << '\n';
        return 1;
    }
}
