// SPDX-License-Identifier: MIT
#include "aspi_layer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "iscsi/iscsi_transport.h"
#include "aspi_config/layer_config.h"
#include "opcode_direction.h"
#include "outside_text.h"
#include "regular_file.h"
#include "sg/sg_transport.h"
#include "sim/sim_transport.h"

namespace aspi {

namespace {

struct FactoryEntry {
    const char* word;
    TransportFactory factory;
};

constexpr FactoryEntry kFactories[] = {
    {"sim", makeSimTransports},
    {"sg", makeSgTransports},
    {"iscsi", makeIscsiTransports},
};

// The status byte is what a poller reads from another context: publish it last.
void publishStatus(uint8_t& field, uint8_t value) {
    std::atomic_ref<uint8_t>(field).store(value, std::memory_order_release);
}

}  // namespace

TransportFactory factoryFor(const std::string& transport) {
    for (const auto& entry : kFactories)
        if (transport == entry.word) return entry.factory;
    return nullptr;
}

AspiLayer::AspiLayer(std::vector<std::unique_ptr<Transport>> adapters)
    : m_adapters(std::move(adapters)) {
    if (m_adapters.size() > kMaxAdapters) m_adapters.resize(kMaxAdapters);
}

AspiLayer AspiLayer::notReady(std::string fault) {
    AspiLayer layer({});
    layer.m_ready = false;
    layer.m_fault = std::move(fault);
    return layer;
}

AspiLayer AspiLayer::fromConfigFile(const std::string& path, MissingFile missing) {
    std::vector<TransportLine> lines;
    karvel::FileContents file = karvel::readRegularFile(path, kLayerConfigLimit);
    if (file.fault == karvel::FileFault::missing && missing == MissingFile::isFault) {
        std::string fault = "wnaspi32: " + karvel::escapeText(path) + ": no such file (named by ASPI32_CONFIG)";
        std::fprintf(stderr, "%s\n", fault.c_str());
        return notReady(fault);
    } else if (file.fault == karvel::FileFault::missing) {
        lines = defaultConfig();
    } else if (!file.ok()) {
        std::string fault = "wnaspi32: " + file.message;
        std::fprintf(stderr, "%s\n", fault.c_str());
        return notReady(fault);
    } else {
        lines = parseConfig(file.bytes, path);
    }

    std::vector<std::unique_ptr<Transport>> adapters;
    for (const auto& line : lines) {
        std::string where = "wnaspi32: " + line.file + ":" + std::to_string(line.number) + ": ";
        try {
            TransportFactory factory = factoryFor(line.transport);
            if (!factory)
                throw ConfigError("unknown transport '" + karvel::quotePrefix(line.transport) +
                                  "' (expected sim, sg or iscsi)");
            for (auto& adapter : factory(line)) adapters.push_back(std::move(adapter));
            if (adapters.size() > kMaxAdapters)
                throw ConfigError("more than " + std::to_string(kMaxAdapters) +
                                  " host adapters (a request block numbers them in one byte)");
        } catch (const std::exception& error) {
            // Outside text (the path, the line's words) reaches the message: escape it whole.
            std::string fault = karvel::escapeText(where + error.what());
            std::fprintf(stderr, "%s\n", fault.c_str());
            return notReady(fault);
        }
    }
    AspiLayer layer(std::move(adapters));
    if (file.fault == karvel::FileFault::missing && layer.m_adapters.empty())
        layer.m_fault = karvel::escapeText("wnaspi32: no configuration file " + path + " and no local SCSI host");
    return layer;
}

uint32_t AspiLayer::supportInfo() const {
    uint32_t status = m_ready ? SS_COMP : SS_FAILED_INIT;
    return (status << 8) | static_cast<uint32_t>(m_adapters.size());
}

uint32_t AspiLayer::send(SRBunion* srb) {
    if (!srb) return SS_INVALID_SRB;
    uint8_t status;
    switch (srb->exec.SRB_Cmd) {
    case SC_GET_DEV_TYPE:
        status = getDeviceType(srb->gdev);
        publishStatus(srb->gdev.SRB_Status, status);
        return status;
    case SC_EXEC_SCSI_CMD:
        status = execute(srb->exec);
        publishStatus(srb->exec.SRB_Status, status);
        return status;
    default:
        publishStatus(srb->exec.SRB_Status, SS_INVALID_CMD);
        return SS_INVALID_CMD;
    }
}

uint8_t AspiLayer::getDeviceType(SRB_GDEVBlock& block) {
    if (block.SRB_HaId >= m_adapters.size()) return SS_INVALID_HA;
    try {
        Transport& adapter = *m_adapters[block.SRB_HaId];
        if (block.SRB_Target == 0 && block.SRB_Lun == 0) adapter.beginScan();
        if (auto type = adapter.deviceType(block.SRB_Target, block.SRB_Lun)) {
            block.SRB_DeviceType = *type;
            return SS_COMP;
        }
        return SS_NO_DEVICE;
    } catch (const std::bad_alloc&) {
        return SS_NO_RESOURCES;
    } catch (...) {
        return SS_ERR;
    }
}

uint8_t AspiLayer::execute(SRB_ExecSCSICmd& block) {
    if (block.SRB_HaId >= m_adapters.size()) return SS_INVALID_HA;
    if (block.SRB_CDBLen == 0 || block.SRB_CDBLen > sizeof block.CDBByte) return SS_INVALID_SRB;
    if (block.SRB_BufLen > 0 && !block.SRB_BufPointer) return SS_INVALID_SRB;
    if (block.SRB_BufLen > kMaxTransferLength) return SS_BUFFER_TO_BIG;

    auto direction = directionOf(block.CDBByte[0]);
    if (!direction) {
        if (block.SRB_BufLen > 0) return SS_INVALID_SRB;  // refuse rather than guess
        direction = DataDirection::none;
    }

    CommandRequest request;
    request.target = block.SRB_Target;
    request.lun = block.SRB_Lun;
    request.cdb = {block.CDBByte, block.SRB_CDBLen};
    request.direction = *direction;
    if (*direction != DataDirection::none && block.SRB_BufLen > 0)
        request.data = {block.SRB_BufPointer, block.SRB_BufLen};

    publishStatus(block.SRB_Status, SS_PENDING);
    CommandResult result;
    try {
        result = m_adapters[block.SRB_HaId]->execute(request);
    } catch (...) {
        // Nothing of the previous request may pass for this one's outcome.
        block.SRB_HaStat = HASTAT_OK;
        block.SRB_TargStat = 0;
        std::memset(block.SenseArea, 0, sizeof block.SenseArea);
        try {
            throw;
        } catch (const std::bad_alloc&) {
            return SS_NO_RESOURCES;
        } catch (...) {
            return SS_ERR;
        }
    }

    block.SRB_HaStat = result.hostStatus;
    block.SRB_TargStat = result.targetStatus;
    size_t senseBytes = std::min<size_t>({result.senseLength, block.SRB_SenseLen, sizeof block.SenseArea});
    std::memcpy(block.SenseArea, result.sense.data(), senseBytes);
    // A transport must finish the request; a pending status here would hang every poller.
    return result.aspiStatus == SS_PENDING ? SS_ERR : result.aspiStatus;
}

}  // namespace aspi
