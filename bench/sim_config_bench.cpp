// SPDX-License-Identifier: MIT
// Reading a sim line with a long full= list: the time grows with the list's length and the
// jukebox's slots, never with the numbers in it.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "sim/sim_config.h"

namespace {

aspi::TransportLine line(const std::string& full) { return {"bench.conf", 1, "sim", {"p", "slots=25600", full}}; }

// Every slot named on its own: "full=1,2,...,25600", 138 KB.
void BM_FullEverySlotSingly(benchmark::State& state) {
    std::string full = "full=";
    for (int n = 1; n <= 25600; ++n) full += std::to_string(n) + (n < 25600 ? "," : "");
    for (auto _ : state) benchmark::DoNotOptimize(aspi::sim::parseSimLine(line(full)));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * full.size()));
}

// 1 MiB of ranges over the whole jukebox, each overlapping the last: refused at the second.
void BM_FullOverlappingRanges1MiB(benchmark::State& state) {
    std::string full = "full=";
    while (full.size() < (1u << 20)) full += "1-25600,";
    full.pop_back();
    for (auto _ : state) {
        try {
            aspi::sim::parseSimLine(line(full));
        } catch (const std::exception& error) {
            benchmark::DoNotOptimize(error.what());
        }
    }
}

}  // namespace

BENCHMARK(BM_FullEverySlotSingly)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullOverlappingRanges1MiB)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
