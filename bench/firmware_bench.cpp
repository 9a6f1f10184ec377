// SPDX-License-Identifier: MIT
// Firmware loading: a whole 128 KiB image from S-records and from Intel hex, in process, and
// `--check-firmware` as a process of its own against srec_cat converting the same file.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "firmware/firmware_loader.h"
#include "child_process.h"
#include "scratch_dir.h"

namespace {

using karvel::firmware::FirmwareFormat;
using karvel::firmware::FirmwareImage;
using karvel::firmware::kFirmwareImageSize;
using karvel::test_support::ScratchDir;

// Runs argv to its end; returns its exit status.
int runToEnd(const std::vector<std::string>& argv) {
    return karvel::test_support::runProcess(argv).exitCode;
}

// The files, written once by srec_cat from one random image.
struct Files {
    ScratchDir dir;
    bool ready = false;
    std::string motorola = dir.path("full.mot");
    std::string intelHex = dir.path("full.hex");
    std::string image = dir.path("out.bin");

    Files() {
        std::mt19937 random(7);
        std::vector<uint8_t> bytes(kFirmwareImageSize);
        for (auto& b : bytes) b = static_cast<uint8_t>(random());
        const std::string bin = dir.write("full.bin", bytes);
        ready = runToEnd({KARVEL_SREC_CAT, bin, "-binary", "-o", motorola, "-motorola", "-disable=data-count",
                            "-execution-start-address=0", "-crlf"}) == 0 &&
                runToEnd({KARVEL_SREC_CAT, bin, "-binary", "-offset", "0xC0000", "-o", intelHex, "-intel",
                            "-address-length=3", "-crlf"}) == 0;
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void LoadImage(benchmark::State& state, const std::string& path, FirmwareFormat format) {
    if (!TheFiles().ready) {
        state.SkipWithError("srec_cat failed: run scripts/setup");
        return;
    }
    for (auto _ : state) {
        FirmwareImage image;
        const auto outcome = karvel::firmware::LoadFirmwareFile(path, format, image);
        if (!outcome.ok()) state.SkipWithError("the file did not load");
        benchmark::DoNotOptimize(image.bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFirmwareImageSize));
}

void BM_LoadMotorolaImage(benchmark::State& state) {
    LoadImage(state, TheFiles().motorola, FirmwareFormat::motorola);
}
BENCHMARK(BM_LoadMotorolaImage)->Unit(benchmark::kMicrosecond);

void BM_LoadIntelHexImage(benchmark::State& state) {
    LoadImage(state, TheFiles().intelHex, FirmwareFormat::intelHex);
}
BENCHMARK(BM_LoadIntelHexImage)->Unit(benchmark::kMicrosecond);

void RunEach(benchmark::State& state, const std::vector<std::string>& argv) {
    if (!TheFiles().ready) {
        state.SkipWithError("srec_cat failed: run scripts/setup");
        return;
    }
    for (auto _ : state)
        if (runToEnd(argv) != 0) state.SkipWithError("the command failed");
}

// karvel itself (Qt is linked but not started for --check-firmware), and the command alone.
void BM_KarvelCheckFirmwareProcess(benchmark::State& state, const char* program) {
    RunEach(state, {program, "--check-firmware", TheFiles().motorola, "--image", TheFiles().image});
}
#ifdef KARVEL_PROGRAM
BENCHMARK_CAPTURE(BM_KarvelCheckFirmwareProcess, karvel, KARVEL_PROGRAM)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK_CAPTURE(BM_KarvelCheckFirmwareProcess, check_firmware_tool, CHECK_FIRMWARE_TOOL)
    ->Unit(benchmark::kMillisecond);

void BM_SrecCatToBinaryProcess(benchmark::State& state) {
    RunEach(state, {KARVEL_SREC_CAT, TheFiles().motorola, "-motorola", "-fill", "0xFF", "0", "0x20000", "-o",
                    TheFiles().image, "-binary"});
}
BENCHMARK(BM_SrecCatToBinaryProcess)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
