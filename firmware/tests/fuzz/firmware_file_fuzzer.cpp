// SPDX-License-Identifier: MIT
// libFuzzer target for a whole firmware file of one format (KARVEL_FUZZ_FORMAT): the input is
// the file, read through the same file reader and loader as New Firmware and --check-firmware.
// Beyond what the sanitizers catch: lines are observed in order, a binary image holds exactly
// the file's bytes, and a load either succeeds or names a fault.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "firmware/firmware_loader.h"

using namespace karvel::firmware;

namespace {

constexpr FirmwareFormat kFormat = FirmwareFormat::KARVEL_FUZZ_FORMAT;

// The input as a regular file the loader opens by name, without touching the disk.
const std::string& inputPath() {
    static const std::string path = [] {
        const int fd = memfd_create("firmware", MFD_CLOEXEC);
        if (fd < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void writeInput(const uint8_t* data, size_t size) {
    const int fd = std::atoi(inputPath().c_str() + std::strlen("/proc/self/fd/"));
    if (ftruncate(fd, 0) != 0) std::abort();
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) std::abort();
        done += static_cast<size_t>(wrote);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeInput(data, size);
    FirmwareImage image;
    int32_t lastLine = 0;
    const LoadOutcome outcome = LoadFirmwareFile(inputPath(), kFormat, image, [&](int32_t line) {
        if (line != lastLine + 1) std::abort();
        lastLine = line;
    });
    if (outcome.fault == LoadFault::cannotOpen || outcome.fault == LoadFault::cannotRead) std::abort();
    if (!outcome.ok() && Describe(outcome).empty()) std::abort();
    if (kFormat == FirmwareFormat::binary) {
        if (outcome.ok() != (size > 0 && size <= kFirmwareImageSize)) std::abort();
        if (outcome.ok()) {
            const auto bytes = image.bytes();
            static const FirmwareImage blank;  // compared in one call: a loop would be traced byte by byte
            if (std::memcmp(bytes.data(), data, size) != 0 ||
                std::memcmp(bytes.data() + size, blank.bytes().data() + size, kFirmwareImageSize - size) != 0)
                std::abort();
        }
    } else if (!outcome.ok() && outcome.line != lastLine) {
        std::abort();  // the fault names the line the load stopped on
    }
    return 0;
}
