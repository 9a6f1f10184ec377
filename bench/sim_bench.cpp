// SPDX-License-Identifier: MIT
// Round trips through SendASPI32Command on the simulated jukebox: the cost of reading the
// state file again under its lock per command, and of a move's durable write.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <karvel/wnaspi32.h>
#include "scratch_dir.h"

namespace {

struct Request {
    SRBunion srb{};
    std::vector<uint8_t> data;

    Request(std::vector<uint8_t> cdb, size_t length) : data(length, 0) {
        srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.exec.SRB_SenseLen = SENSE_LEN;
        srb.exec.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
        std::memcpy(srb.exec.CDBByte, cdb.data(), cdb.size());
        srb.exec.SRB_BufLen = static_cast<uint32_t>(length);
        srb.exec.SRB_BufPointer = length ? data.data() : nullptr;
    }
    uint32_t send() { return SendASPI32Command(&srb); }
};

void run(benchmark::State& state, Request& request) {
    for (auto _ : state) {
        if (request.send() != SS_COMP) {
            state.SkipWithError("the command failed");
            break;
        }
        benchmark::DoNotOptimize(request.data.data());
    }
}

void BM_Inquiry(benchmark::State& state) {
    Request inquiry({0x12, 0, 0, 0, 47, 0}, 47);
    run(state, inquiry);
}

void BM_ReadElementStatus50Slots(benchmark::State& state) {
    Request status({0xB8, 0x02, 0x00, 0x01, 0x00, 50, 0, 0x00, 0x03, 0x30, 0, 0}, 816);
    run(state, status);
}

// One move per iteration, slot 1 to the drive and back, each written durably to the state file.
void BM_MoveMedium(benchmark::State& state) {
    Request out({0xA5, 0, 0, 0, 0x00, 0x01, 0x40, 0x00, 0, 0, 0, 0}, 0);
    Request back({0xA5, 0, 0, 0, 0x40, 0x00, 0x00, 0x01, 0, 0, 0, 0}, 0);
    static bool there = false;  // where the disc is, across repetitions
    for (auto _ : state) {
        if ((there ? back : out).send() != SS_COMP) {
            state.SkipWithError("the move failed");
            break;
        }
        there = !there;
    }
}

BENCHMARK(BM_Inquiry)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadElementStatus50Slots)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MoveMedium)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

// The jukebox lives in a scratch directory (under $SIM_BENCH_DIR when set, to measure another
// file system) for the length of the run.
int main(int argc, char** argv) {
    const char* base = std::getenv("SIM_BENCH_DIR");
    std::filesystem::path dir;
    try {
        dir = karvel::test_support::makeScratchDirectory("karvel-sim-bench", base ? base : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sim_bench: %s\n", e.what());
        return 1;
    }
    std::ofstream(dir / "wnaspi32.conf") << "sim jukebox\n";
    ::setenv("ASPI32_CONFIG", (dir / "wnaspi32.conf").c_str(), 1);
    Request unitAttention({0, 0, 0, 0, 0, 0}, 0);
    unitAttention.send();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    karvel::test_support::removeTree(dir);
    return 0;
}
