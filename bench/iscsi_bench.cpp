// SPDX-License-Identifier: MIT
// The cost per command of the iSCSI path through SendASPI32Command, against a plain libiscsi
// synchronous loop sending the same READ ELEMENT STATUS to the same tgtd, in one run. The
// ratio of the two medians is printed at the end.
#include <benchmark/benchmark.h>
#include <iscsi/iscsi.h>
#include <iscsi/scsi-lowlevel.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tgt_changer.h"
#include <karvel/wnaspi32.h>

namespace {

using karvel::test::TgtChanger;

TgtChanger* changer = nullptr;

// READ ELEMENT STATUS of the ten storage elements: headers and ten 16-byte descriptors.
constexpr uint32_t kReportLength = 16 + 10 * 16;

std::vector<uint8_t> readElementStatusCdb() {
    uint16_t first = changer->layout().firstSlot;
    return {0xB8, 0x02, uint8_t(first >> 8), uint8_t(first), 0x00, 10, 0, 0, 0, uint8_t(kReportLength), 0, 0};
}

void BM_AspiLayer(benchmark::State& state) {
    std::vector<uint8_t> data(kReportLength);
    SRBunion srb{};
    auto send = [&](const std::vector<uint8_t>& cdb, uint32_t length) {
        srb.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.exec.SRB_Lun = TgtChanger::kChangerLun;
        srb.exec.SRB_SenseLen = SENSE_LEN;
        srb.exec.SRB_CDBLen = static_cast<uint8_t>(cdb.size());
        std::memcpy(srb.exec.CDBByte, cdb.data(), cdb.size());
        srb.exec.SRB_BufLen = length;
        srb.exec.SRB_BufPointer = length ? data.data() : nullptr;
        return SendASPI32Command(&srb);
    };
    send({0, 0, 0, 0, 0, 0}, 0);  // opens the session and takes its unit attention
    std::vector<uint8_t> cdb = readElementStatusCdb();
    for (auto _ : state) {
        if (send(cdb, kReportLength) != SS_COMP) {
            state.SkipWithError("READ ELEMENT STATUS failed through the layer");
            break;
        }
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_PlainLibiscsi(benchmark::State& state) {
    iscsi_context* context = iscsi_create_context("iqn.2024-01.org.karvel:bench");
    iscsi_set_targetname(context, changer->targetName().c_str());
    iscsi_set_session_type(context, ISCSI_SESSION_NORMAL);
    iscsi_set_header_digest(context, ISCSI_HEADER_DIGEST_NONE);
    std::string portal = "127.0.0.1:" + std::to_string(changer->port());
    if (iscsi_full_connect_sync(context, portal.c_str(), TgtChanger::kChangerLun) != 0) {
        state.SkipWithError(iscsi_get_error(context));
        iscsi_destroy_context(context);
        return;
    }
    std::vector<uint8_t> cdb = readElementStatusCdb();
    for (auto _ : state) {
        scsi_task* task = scsi_create_task(static_cast<int>(cdb.size()), cdb.data(), SCSI_XFER_READ, kReportLength);
        task = iscsi_scsi_command_sync(context, TgtChanger::kChangerLun, task, nullptr);
        bool good = task && task->status == SCSI_STATUS_GOOD;
        if (task) {
            benchmark::DoNotOptimize(task->datain.data);
            scsi_free_scsi_task(task);
        }
        if (!good) {
            state.SkipWithError("READ ELEMENT STATUS failed through libiscsi");
            break;
        }
    }
    iscsi_logout_sync(context);
    iscsi_destroy_context(context);
}

BENCHMARK(BM_AspiLayer)->UseRealTime()->MinTime(1.0)->Repetitions(5);
BENCHMARK(BM_PlainLibiscsi)->UseRealTime()->MinTime(1.0)->Repetitions(5);

// Shows the usual report and keeps each benchmark's median real time per iteration.
class MedianKeeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (run.aggregate_name == "median") medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    try {
        TgtChanger tgt;
        changer = &tgt;
        MedianKeeper reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        auto layer = reporter.medians.find("BM_AspiLayer");
        auto plain = reporter.medians.find("BM_PlainLibiscsi");
        if (layer != reporter.medians.end() && plain != reporter.medians.end() && plain->second > 0)
            std::printf("ratio SendASPI32Command / plain libiscsi (medians): %.3f\n", layer->second / plain->second);
        changer = nullptr;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "iscsi_bench: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
