// SPDX-License-Identifier: MIT
// libFuzzer target for the outcome of a failed request as a device and the layer return it:
// bytes 0-2 are the ASPI, host and target status, the rest the sense data. It goes through
// karvelctl's failure report, which writes mtx's request-sense lines, reads the sense codes
// and calls each of Nevsel's text functions, and through each text function directly with a buffer of exactly the size they
// promise to stay within (45 characters and a NUL).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include <karvel/nevsel.h>
#include "failure_report.h"
#include "scsi_codes.h"

using namespace karvel::ctl;

namespace {

constexpr size_t kTextBuffer = 46;

// Calls write with a heap buffer of kTextBuffer bytes (AddressSanitizer sees any byte past
// it) and checks that it holds one NUL-ended, non-empty text.
template <typename Write>
void checkText(Write&& write) {
    const auto text = std::make_unique<char[]>(kTextBuffer);
    std::memset(text.get(), 0x7F, kTextBuffer);
    write(text.get());
    if (std::memchr(text.get(), '\0', kTextBuffer) == nullptr || text[0] == '\0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    SRBunion srb{};
    srb.exec.SRB_Status = data[0];
    srb.exec.SRB_HaStat = data[1];
    srb.exec.SRB_TargStat = data[2];
    std::memcpy(srb.exec.SenseArea, data + 3, std::min(size - 3, sizeof srb.exec.SenseArea));

    const FailedRequest failure = failedRequest("MOVE MEDIUM from Element Address 1 to 16384 Failed", srb);
    std::ostringstream out;
    reportFailure(out, failure);
    const std::string report = out.str();
    const size_t heading = report.find(failure.heading + "\n  ASPI Status: ");
    if (heading == std::string::npos) std::abort();
    const bool checkCondition = failure.status == SS_ERR && failure.targetStatus == karvel::scsi::CHECK_CONDITION;
    if (heading != 0 && !(checkCondition && report.starts_with("mtx: Request Sense: Long Report="))) std::abort();

    const SenseCodes codes = senseCodes(failure.sense);
    if (codes.key > 0x0F) std::abort();
    checkText([&](char* text) { GetASPIstatus(data[0], text); });
    checkText([&](char* text) { GetHOSTstatus(data[1], text); });
    checkText([&](char* text) { GetSCSIstatus(data[2], text); });
    checkText([&](char* text) { GetSenseKey(size > 5 ? data[5] : data[2], text); });
    checkText([&](char* text) { GetASC_ASCQ(codes.asc, codes.ascq, text); });
    return 0;
}
