// SPDX-License-Identifier: MIT
// The shim's side that talks to a changer: one ASPI layer of its own, built from the
// configuration in KARVEL_SG_SHIM_CONFIG (else ASPI32_CONFIG) at the first request. Its own
// instance, not libwnaspi32's, so that a process whose layer itself serves SG_IO (the sg
// transport under test) does not send the shim's requests back into itself.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "aspi_layer.h"
#include "sg_shim.h"
#include "sg_shim_fault.h"

namespace {

// The kernel's host bytes (DID_*) and driver bytes (DRIVER_*) the shim reports.
constexpr uint16_t kDidOk = 0x00;
constexpr uint16_t kDidNoConnect = 0x01;
constexpr uint16_t kDidTimeOut = 0x03;
constexpr uint16_t kDidParity = 0x06;
constexpr uint16_t kDidError = 0x07;
constexpr uint16_t kDidReset = 0x08;
constexpr uint16_t kDriverTimeout = 0x06;
constexpr uint16_t kDriverSense = 0x08;
constexpr uint8_t kCheckCondition = 0x02;

struct Address {
    uint8_t host = 0;
    uint8_t target = 0;
    uint8_t lun = 0;
};

std::optional<Address> shimAddress() {
    const char* text = std::getenv("KARVEL_SG_SHIM_ADDRESS");
    if (!text) return Address{};
    unsigned host = 0, target = 0, lun = 0;
    char end = 0;
    if (std::sscanf(text, "%u:%u:%u%c", &host, &target, &lun, &end) != 3 || host > 255 || target > 255 ||
        lun > 255)
        return std::nullopt;
    return Address{static_cast<uint8_t>(host), static_cast<uint8_t>(target), static_cast<uint8_t>(lun)};
}

aspi::AspiLayer* shimLayer() {
    static std::unique_ptr<aspi::AspiLayer> layer;
    if (!layer) {
        const char* path = std::getenv("KARVEL_SG_SHIM_CONFIG");
        if (!path || !*path) path = std::getenv("ASPI32_CONFIG");
        if (!path || !*path) return nullptr;
        layer = std::make_unique<aspi::AspiLayer>(aspi::AspiLayer::fromConfigFile(path));
    }
    return layer->ready() ? layer.get() : nullptr;
}

uint16_t hostByte(uint8_t haStat) {
    switch (haStat) {
    case HASTAT_OK: return kDidOk;
    case HASTAT_SEL_TO: return kDidNoConnect;
    case HASTAT_BUS_FREE: return kDidReset;
    case HASTAT_PHASE_ERR: return kDidParity;
    default: return kDidError;
    }
}

// Sense bytes worth reporting: the fixed or descriptor format's own length, within the block.
size_t senseLength(const uint8_t* sense) {
    uint8_t code = sense[0] & 0x7F;
    size_t length = (code >= 0x70 && code <= 0x73) ? 8u + sense[7] : SRB_SENSE_AREA_LEN;
    return std::min<size_t>(length, SRB_SENSE_AREA_LEN);
}

// With KARVEL_SG_SHIM_TRACE set, each request and its outcome are appended to that file, for
// seeing what a program asked when a comparison fails.
void trace(const SRB_ExecSCSICmd& block, uint32_t status) {
    const char* path = std::getenv("KARVEL_SG_SHIM_TRACE");
    if (!path || !*path) return;
    FILE* file = std::fopen(path, "a");
    if (!file) return;
    std::fprintf(file, "cdb");
    for (unsigned i = 0; i < block.SRB_CDBLen; ++i) std::fprintf(file, " %02x", block.CDBByte[i]);
    std::fprintf(file, " -> status %02x target %02x host %02x sense", static_cast<unsigned>(status),
                 block.SRB_TargStat, block.SRB_HaStat);
    for (uint8_t byte : block.SenseArea) std::fprintf(file, " %02x", byte);
    if (block.SRB_BufPointer) {
        std::fprintf(file, "\n  data");
        for (unsigned i = 0; i < std::min<uint32_t>(block.SRB_BufLen, 96); ++i)
            std::fprintf(file, " %02x", block.SRB_BufPointer[i]);
    }
    std::fprintf(file, "\n");
    std::fclose(file);
}

}  // namespace

extern "C" int sgShimExecute(sg_io_hdr_t* header) {
    if (header->interface_id != 'S' || header->iovec_count != 0 || header->cmd_len == 0 ||
        header->cmd_len > 16 || !header->cmdp || (header->dxfer_len > 0 && !header->dxferp)) {
        errno = EINVAL;
        return -1;
    }
    uint8_t faultSense[SG_SHIM_FAULT_SENSE_LENGTH];
    if (sgShimTakeFault(header->cmdp, header->cmd_len, faultSense)) {
        header->status = kCheckCondition;
        header->host_status = kDidOk;
        header->driver_status = kDriverSense;
        header->sb_len_wr = 0;
        if (header->sbp) {
            header->sb_len_wr = static_cast<unsigned char>(std::min<size_t>(sizeof faultSense, header->mx_sb_len));
            std::memcpy(header->sbp, faultSense, header->sb_len_wr);
        }
        header->resid = static_cast<int>(header->dxfer_len);
        header->duration = 0;
        header->masked_status = static_cast<unsigned char>((header->status & 0x3E) >> 1);
        header->info = SG_INFO_CHECK;
        return 0;
    }
    auto address = shimAddress();
    aspi::AspiLayer* layer = shimLayer();
    if (!address || !layer) {
        errno = ENODEV;
        return -1;
    }

    SRBunion srb{};
    SRB_ExecSCSICmd& block = srb.exec;
    block.SRB_Cmd = SC_EXEC_SCSI_CMD;
    block.SRB_HaId = address->host;
    block.SRB_Target = address->target;
    block.SRB_Lun = address->lun;
    block.SRB_CDBLen = header->cmd_len;
    std::memcpy(block.CDBByte, header->cmdp, header->cmd_len);
    if (header->dxfer_direction != SG_DXFER_NONE && header->dxfer_len > 0) {
        block.SRB_BufLen = header->dxfer_len;
        block.SRB_BufPointer = static_cast<uint8_t*>(header->dxferp);
    }
    block.SRB_SenseLen = static_cast<uint8_t>(std::min<unsigned>(header->mx_sb_len, SRB_SENSE_AREA_LEN));

    uint32_t status = layer->send(&srb);
    trace(block, status);
    header->status = 0;
    header->host_status = kDidOk;
    header->driver_status = 0;
    header->sb_len_wr = 0;
    header->resid = 0;
    header->duration = 0;
    switch (status) {
    case SS_COMP:
        header->status = block.SRB_TargStat;
        break;
    case SS_ERR:
        header->status = block.SRB_TargStat;
        header->host_status = hostByte(block.SRB_HaStat);
        if (block.SRB_TargStat == kCheckCondition) {
            header->driver_status = kDriverSense;
            size_t length = std::min<size_t>(senseLength(block.SenseArea), block.SRB_SenseLen);
            if (header->sbp && length > 0) {
                std::memcpy(header->sbp, block.SenseArea, length);
                header->sb_len_wr = static_cast<unsigned char>(length);
            }
        }
        break;
    case SS_ABORTED:
        header->host_status = kDidTimeOut;
        header->driver_status = kDriverTimeout;
        break;
    case SS_NO_DEVICE:
        header->host_status = kDidNoConnect;
        break;
    case SS_INVALID_HA: errno = ENODEV; return -1;
    case SS_NO_RESOURCES: errno = ENOMEM; return -1;
    default: errno = EINVAL; return -1;
    }
    header->masked_status = static_cast<unsigned char>((header->status & 0x3E) >> 1);
    header->info = (header->status || header->host_status || header->driver_status) ? SG_INFO_CHECK : SG_INFO_OK;
    return 0;
}

extern "C" int sgShimScsiId(struct sg_scsi_id* id) {
    auto address = shimAddress();
    aspi::AspiLayer* layer = shimLayer();
    if (!address || !layer) {
        errno = ENODEV;
        return -1;
    }
    SRBunion srb{};
    srb.gdev.SRB_Cmd = SC_GET_DEV_TYPE;
    srb.gdev.SRB_HaId = address->host;
    srb.gdev.SRB_Target = address->target;
    srb.gdev.SRB_Lun = address->lun;
    if (layer->send(&srb) != SS_COMP) {
        errno = ENODEV;
        return -1;
    }
    std::memset(id, 0, sizeof *id);
    id->host_no = address->host;
    id->scsi_id = address->target;
    id->lun = address->lun;
    id->scsi_type = srb.gdev.SRB_DeviceType;
    id->h_cmd_per_lun = 1;
    id->d_queue_depth = 1;
    return 0;
}

extern "C" int sgShimIdLun(int* idLun) {
    auto address = shimAddress();
    if (!address) {
        errno = ENODEV;
        return -1;
    }
    idLun[0] = static_cast<int>(address->target | (address->lun << 8) | (static_cast<uint32_t>(address->host) << 24));
    idLun[1] = address->host + 1;
    return 0;
}

extern "C" int sgShimBusNumber(int* bus) {
    auto address = shimAddress();
    if (!address) {
        errno = ENODEV;
        return -1;
    }
    *bus = address->host;
    return 0;
}
