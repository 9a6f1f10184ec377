// SPDX-License-Identifier: MIT
#include "failure_report.h"

#include <algorithm>
#include <cstdio>

#include <karvel/nevsel.h>
#include "request_sense_lines.h"
#include "scsi_codes.h"

namespace karvel::ctl {

namespace {

// Nevsel's text functions write at most 45 characters and a NUL.
using StatusText = std::array<char, 46>;

std::string hexByte(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*Xh", digits, value);
    return text;
}

}  // namespace

FailedRequest failedRequest(std::string heading, const SRBunion& srb) {
    FailedRequest failure;
    failure.heading = std::move(heading);
    failure.status = srb.exec.SRB_Status;
    failure.hostStatus = srb.exec.SRB_HaStat;
    failure.targetStatus = srb.exec.SRB_TargStat;
    std::copy(std::begin(srb.exec.SenseArea), std::end(srb.exec.SenseArea), failure.sense.begin());
    return failure;
}

FailedRequest unusableAnswer(std::string heading, std::string problem) {
    FailedRequest failure;
    failure.heading = std::move(heading);
    failure.status = SS_COMP;
    failure.problem = std::move(problem);
    return failure;
}

SenseCodes senseCodes(const std::array<uint8_t, SRB_SENSE_AREA_LEN>& sense) {
    const uint8_t format = sense[0] & 0x7F;
    if (format == 0x72 || format == 0x73)
        return SenseCodes{static_cast<uint8_t>(sense[1] & 0x0F), sense[2], sense[3]};
    return SenseCodes{static_cast<uint8_t>(sense[2] & 0x0F), sense[12], sense[13]};
}

void reportFailure(std::ostream& err, const FailedRequest& failure) {
    const bool checkCondition = failure.status == SS_ERR && failure.targetStatus == scsi::CHECK_CONDITION;
    if (failure.problem.empty() && failure.senseLines && checkCondition)
        err << requestSenseLines(failure.sense);
    err << failure.heading << '\n';
    if (!failure.trailer.empty())
        err << failure.trailer << '\n';
    if (!failure.problem.empty()) {
        err << "  " << failure.problem << '\n';
        return;
    }
    StatusText text{};
    GetASPIstatus(failure.status, text.data());
    err << "  ASPI Status: " << text.data() << " (" << hexByte(failure.status, 2) << ")\n";
    if (failure.status == SS_COMP || failure.status == SS_PENDING || failure.status == SS_NO_DEVICE ||
        failure.status == SS_INVALID_HA)
        return;
    GetHOSTstatus(failure.hostStatus, text.data());
    err << "  Host Status: " << text.data() << " (" << hexByte(failure.hostStatus, 2) << ")\n";
    GetSCSIstatus(failure.targetStatus, text.data());
    err << "  SCSI Status: " << text.data() << " (" << hexByte(failure.targetStatus, 2) << ")\n";
    if (failure.targetStatus != scsi::CHECK_CONDITION)
        return;
    const SenseCodes codes = senseCodes(failure.sense);
    GetSenseKey(codes.key, text.data());
    err << "  Sense Key: " << text.data() << " (" << hexByte(codes.key, 1) << ")\n";
    GetASC_ASCQ(codes.asc, codes.ascq, text.data());
    err << "  ASC/ASCQ: " << text.data() << " (" << hexByte(codes.asc, 2) << "/" << hexByte(codes.ascq, 2)
        << ")\n";
}

}  // namespace karvel::ctl
