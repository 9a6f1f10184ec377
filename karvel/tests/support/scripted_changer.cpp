// SPDX-License-Identifier: MIT
#include "scripted_changer.h"

#include <cstring>

#include "byte_order.h"
#include "scsi_codes.h"

namespace karvel::test {

namespace {

std::vector<uint8_t> modeSensePage(const ScriptedChanger& c) {
    const ElementAddressAssignment& a = c.assignment;
    std::vector<uint8_t> data(4 + c.blockDescriptorLength, 0);
    data[3] = c.blockDescriptorLength;
    const uint8_t page[20] = {0x1D, 0x12};
    data.insert(data.end(), page, page + 20);
    const uint16_t values[8] = {a.firstTransport, a.transportCount, a.firstStorage, a.storageCount,
                                a.firstImportExport, a.importExportCount, a.firstDataTransfer,
                                a.dataTransferCount};
    for (int k = 0; k < 8; ++k)
        put_be16(&data[4 + c.blockDescriptorLength + 2 + 2 * k], values[k]);
    data[0] = static_cast<uint8_t>(data.size() - 1);
    return data;
}

std::vector<uint8_t> elementStatus(const ScriptedChanger& c, uint8_t type, uint16_t start, uint16_t count) {
    std::vector<uint8_t> descriptors;
    for (uint16_t i = 0; i < count; ++i) {
        uint8_t d[16] = {};
        const uint16_t address = static_cast<uint16_t>(start + i);
        put_be16(d, address);
        if (type == 4) {
            const size_t row = static_cast<size_t>(address - c.assignment.firstDataTransfer);
            if (row < c.drives.size() && c.drives[row].full) {
                d[2] = 0x01;
                d[9] = 0x80;
                put_be16(d + 10, c.drives[row].source);
            }
        } else if (type == 2) {
            for (uint16_t full : c.fullStorage)
                if (full == address)
                    d[2] = 0x01;
        }
        descriptors.insert(descriptors.end(), d, d + 16);
    }
    std::vector<uint8_t> data(16, 0);
    put_be16(&data[0], start);
    put_be16(&data[2], count);
    put_be24(&data[5], static_cast<uint32_t>(8 + descriptors.size()));
    data[8] = type;
    put_be16(&data[10], 16);
    put_be24(&data[13], static_cast<uint32_t>(descriptors.size()));
    data.insert(data.end(), descriptors.begin(), descriptors.end());
    return data;
}

}  // namespace

std::vector<uint8_t> ScriptedChanger::standardInquiry(const char* vendor8, const char* product16) {
    std::vector<uint8_t> data(36, ' ');
    data[0] = scsi::kMediumChangerType;
    data[1] = 0x80;
    data[2] = 0x02;
    data[3] = 0x02;
    data[4] = 31;
    data[5] = data[6] = data[7] = 0;
    std::memcpy(&data[8], vendor8, strnlen(vendor8, 8));
    std::memcpy(&data[16], product16, strnlen(product16, 16));
    std::memcpy(&data[32], "1.00", 4);
    return data;
}

Reply ScriptedChanger::respond(const SeenRequest& request) const {
    const uint8_t opcode = request.cdb.at(0);
    if (auto it = failures.find(opcode); it != failures.end())
        return it->second;
    Reply reply;
    switch (opcode) {
    case scsi::INQUIRY:
        reply.dataIn = inquiry;
        break;
    case scsi::MODE_SENSE_6:
        reply.dataIn = modeSensePage(*this);
        break;
    case scsi::READ_BUFFER:
        if (auto it = fullnessMaps.find(request.cdb.at(2)); it != fullnessMaps.end())
            reply.dataIn.assign(it->second.begin(), it->second.end());
        else
            reply.dataIn.assign(13, 0);
        break;
    case scsi::READ_ELEMENT_STATUS:
        reply.dataIn = elementStatus(*this, request.cdb.at(1) & 0x0F, get_be16(&request.cdb.at(2)),
                                     get_be16(&request.cdb.at(4)));
        break;
    default:
        break;
    }
    return reply;
}

void ScriptedChanger::serve(ScriptedAspi& aspi) const {
    aspi.answerWith([this](const SeenRequest& request) { return respond(request); });
}

std::vector<SeenRequest> requestsWithOpcode(const ScriptedAspi& aspi, uint8_t opcode) {
    std::vector<SeenRequest> found;
    for (SeenRequest& r : aspi.requests())
        if (!r.cdb.empty() && r.cdb[0] == opcode)
            found.push_back(std::move(r));
    return found;
}

}  // namespace karvel::test
