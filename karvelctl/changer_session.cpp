// SPDX-License-Identifier: MIT
#include "changer_session.h"

#include <algorithm>
#include <array>
#include <vector>

#include <sys/stat.h>

#include "aspi_config/layer_config.h"
#include "byte_order.h"
#include "changer_address.h"
#include "changer_model/changer_discovery.h"
#include "changer_model/element_address_page.h"
#include "changer_model/element_status.h"
#include "exit_codes.h"
#include "saved_target.h"
#include <karvel/nevsel.h>
#include <karvel/ostrik.h>
#include "scsi_codes.h"

namespace karvel::ctl {

namespace {

constexpr uint8_t kMediumChanger = 8;
constexpr uint8_t kMoveMedium = 0xA5;
constexpr uint8_t kExchangeMedium = 0xA6;
constexpr uint8_t kStartStopUnit = 0x1B;
constexpr uint8_t kLoadEject = 0x02;  // START STOP UNIT byte 4: LoEj set, Start clear
constexpr uint8_t kModeSenseLength = 255;  // room for any block descriptor length
constexpr uint8_t kVolumeTagRequest = 0x10;
// Elements per READ ELEMENT STATUS, and the bytes allowed for each: room for both volume
// tags and vendor bytes, and small enough for any host's transfer limit.
constexpr uint16_t kElementsPerRequest = 128;
constexpr uint32_t kBytesPerDescriptor = 128;
constexpr uint32_t kStatusHeadersLength = 16;

std::string decimal(unsigned value) {
    return std::to_string(value);
}

bool checkCondition(const SRBunion& srb) {
    return srb.exec.SRB_Status == SS_ERR && srb.exec.SRB_TargStat == scsi::CHECK_CONDITION;
}

bool unitAttention(const SRBunion& srb) {
    if (!checkCondition(srb))
        return false;
    std::array<uint8_t, SRB_SENSE_AREA_LEN> sense{};
    std::copy(std::begin(srb.exec.SenseArea), std::end(srb.exec.SenseArea), sense.begin());
    return senseCodes(sense).key == scsi::UNIT_ATTENTION;
}

// Returns the field as the device sent it, padding included, up to a NUL (a short answer's
// end: the buffer was cleared first).
std::string fieldText(const uint8_t* data, size_t from, size_t count) {
    const uint8_t* begin = data + from;
    const uint8_t* end = std::find(begin, begin + count, uint8_t{0});
    return std::string(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin));
}

}  // namespace

ChangerSession::ChangerSession(TargetAddress target, std::string name) : m_target(target), m_name(std::move(name)) {
    m_block.exec.SRB_Cmd = SC_EXEC_SCSI_CMD;
    m_block.exec.SRB_Status = SS_COMP;
    m_block.exec.SRB_HaId = target.hostAdapter;
    m_block.exec.SRB_Target = target.targetId;
    m_block.exec.SRB_Lun = target.lun;
}

void ChangerSession::testUnitReady() {
    TestUnitReady(&m_block);
}

std::optional<FailedRequest> ChangerSession::readIdentity(ChangerIdentity& identity) {
    std::array<uint8_t, 64> data{};
    if (Inquiry(&m_block, data.data()) != SS_COMP)
        return failedRequest("INQUIRY Command Failed", m_block);
    identity.deviceType = data[0] & 0x1F;
    identity.vendor = fieldText(data.data(), 8, 8);
    identity.product = fieldText(data.data(), 16, 16);
    identity.revision = fieldText(data.data(), 32, 4);
    identity.attachedChanger = (data[6] & 0x08) != 0;
    return std::nullopt;
}

std::optional<FailedRequest> ChangerSession::readAssignment(ElementAddressAssignment& assignment) {
    std::array<uint8_t, kModeSenseLength> data{};
    const char* heading = "Mode sense (0x1A) for Page 0x1D failed";
    if (ModeSense6(&m_block, 0, 0, model::kElementAddressPageCode, kModeSenseLength, data.data()) != SS_COMP)
        return failedRequest(heading, m_block);
    const model::ElementAddressPage page = model::readElementAddressPage(data, data.size());
    if (page.fault != model::ElementAddressPageFault::none)
        return unusableAnswer(heading, model::elementAddressPageFaultText(page.fault));
    assignment = page.assignment;
    return std::nullopt;
}

uint8_t ChangerSession::readElementStatus(uint8_t typeAndFlags, uint16_t start, uint16_t count,
                                            std::vector<uint8_t>& data) {
    const uint32_t length = kStatusHeadersLength + uint32_t{count} * kBytesPerDescriptor;
    data.assign(length, 0);
    uint8_t status = ReadElementStatus(&m_block, typeAndFlags, start, count, length, data.data());
    if (unitAttention(m_block)) {  // another initiator reset the changer: the request was not run
        data.assign(length, 0);
        status = ReadElementStatus(&m_block, typeAndFlags, start, count, length, data.data());
    }
    return status;
}

std::optional<FailedRequest> ChangerSession::readElements(ElementType type, uint16_t first, uint16_t count,
                                                           std::vector<Element>& into) {
    const uint32_t end = uint32_t{first} + count;
    uint32_t start = first;
    std::vector<uint8_t> data;
    while (start < end) {
        const uint16_t wanted = static_cast<uint16_t>(std::min<uint32_t>(end - start, kElementsPerRequest));
        const uint8_t code = model::elementTypeCode(type);
        uint8_t status = SS_COMP;
        if (!m_tagsRefused && m_tagsWanted) {
            status = readElementStatus(code | kVolumeTagRequest, static_cast<uint16_t>(start), wanted, data);
            if (status != SS_COMP && checkCondition(m_block))
                m_tagsRefused = true;  // asked once; every later request goes without tags
        }
        if (m_tagsRefused || !m_tagsWanted)
            status = readElementStatus(code, static_cast<uint16_t>(start), wanted, data);
        if (status != SS_COMP)
            return failedRequest("READ ELEMENT STATUS Command Failed", m_block);
        const size_t before = into.size();
        if (model::readElementStatus(data, data.size(), type, start, end, into) == 0)
            break;  // the changer reports no more of them
        uint32_t last = start;
        for (size_t i = before; i < into.size(); ++i)
            last = std::max<uint32_t>(last, into[i].address);
        start = last + 1;
    }
    return std::nullopt;
}

std::optional<FailedRequest> ChangerSession::readInventory(ChangerInventory& inventory) {
    inventory = ChangerInventory{};
    if (std::optional<FailedRequest> failed = readAssignment(inventory.assignment))
        return failed;
    const ElementAddressAssignment& a = inventory.assignment;
    struct Range {
        ElementType type;
        uint16_t first;
        uint16_t count;
        std::vector<Element>* into;
    };
    const Range ranges[] = {
        {ElementType::transport, a.firstTransport, a.transportCount, &inventory.transports},
        {ElementType::storage, a.firstStorage, a.storageCount, &inventory.storage},
        {ElementType::importExport, a.firstImportExport, a.importExportCount, &inventory.ports},
        {ElementType::dataTransfer, a.firstDataTransfer, a.dataTransferCount, &inventory.drives},
    };
    for (const Range& range : ranges) {
        if (std::optional<FailedRequest> failed = readElements(range.type, range.first, range.count, *range.into))
            return failed;
        std::stable_sort(range.into->begin(), range.into->end(),
                         [](const Element& x, const Element& y) { return x.address < y.address; });
    }
    inventory.volumeTagsReported = m_tagsWanted && !m_tagsRefused;
    return std::nullopt;
}

std::optional<FailedRequest> ChangerSession::move(uint16_t transport, uint16_t source, uint16_t destination,
                                                  const MoveModifiers& modifiers) {
    uint8_t status;
    if (!modifiers.invert && modifiers.eepos == 0) {
        status = MoveMedium(&m_block, source, destination, transport);
    } else {
        uint8_t cdb[12] = {kMoveMedium};
        put_be16(cdb + 2, transport);
        put_be16(cdb + 4, source);
        put_be16(cdb + 6, destination);
        cdb[10] = modifiers.invert ? 0x01 : 0x00;
        cdb[11] = static_cast<uint8_t>(modifiers.eepos << 6);
        status = sendCdb(cdb, sizeof cdb);
    }
    if (status == SS_COMP)
        return std::nullopt;
    return moveFailure("MOVE MEDIUM from Element Address " + decimal(source) + " to " + decimal(destination) +
                            " Failed",
                        source, destination);
}

std::optional<FailedRequest> ChangerSession::exchange(uint16_t transport, uint16_t source, uint16_t firstDestination,
                                                      uint16_t secondDestination, const MoveModifiers& modifiers) {
    uint8_t status;
    if (!modifiers.invert && !modifiers.invert2 && modifiers.eepos == 0) {
        status = ExchangeMedium(&m_block, source, firstDestination, secondDestination, transport);
    } else {
        // Where mtx puts them: the first invert bit in byte 10, the second in byte 1.
        uint8_t cdb[12] = {kExchangeMedium};
        cdb[1] = modifiers.invert2 ? 0x01 : 0x00;
        put_be16(cdb + 2, transport);
        put_be16(cdb + 4, source);
        put_be16(cdb + 6, firstDestination);
        put_be16(cdb + 8, secondDestination);
        cdb[10] = modifiers.invert ? 0x02 : 0x00;
        cdb[11] = static_cast<uint8_t>(modifiers.eepos << 6);
        status = sendCdb(cdb, sizeof cdb);
    }
    if (status == SS_COMP)
        return std::nullopt;
    return moveFailure("EXCHANGE MEDIUM from Element Address " + decimal(source) + " to " +
                            decimal(firstDestination) + " Failed",
                        source, firstDestination);
}

std::optional<FailedRequest> ChangerSession::position(uint16_t transport, uint16_t destination) {
    if (PositionToElement(&m_block, destination, transport) == SS_COMP)
        return std::nullopt;
    FailedRequest failure = failedRequest("Could not position transport", m_block);
    failure.senseLines = false;
    return failure;
}

std::optional<FailedRequest> ChangerSession::initializeElementStatus() {
    if (InitializeElementStatus(&m_block) == SS_COMP)
        return std::nullopt;
    return failedRequest("INITIALIZE ELEMENT STATUS Failed", m_block);
}

std::optional<FailedRequest> ChangerSession::eject() {
    const uint8_t cdb[6] = {kStartStopUnit, 0, 0, 0, kLoadEject, 0};
    if (sendCdb(cdb, sizeof cdb) == SS_COMP)
        return std::nullopt;
    FailedRequest failure = failedRequest("Eject (0x1B) failed", m_block);
    failure.trailer = "mtx:eject failed";
    return failure;
}

uint8_t ChangerSession::sendCdb(const uint8_t* cdb, uint8_t length) {
    InitSRBexecute(&m_block, length);
    std::copy(cdb, cdb + length, m_block.exec.CDBByte);
    return CallAspi32(&m_block);
}

FailedRequest ChangerSession::moveFailure(std::string heading, uint16_t source, uint16_t destination) const {
    FailedRequest failure = failedRequest(std::move(heading), m_block);
    if (!checkCondition(m_block))
        return failure;
    const SenseCodes codes = senseCodes(failure.sense);
    if (codes.asc == 0x3B && codes.ascq == 0x0E)
        failure.heading = "Source Element Address " + decimal(source) + " is Empty";
    else if (codes.asc == 0x3B && codes.ascq == 0x0D)
        failure.heading = "Destination Element Address " + decimal(destination) + " is Already Full";
    else if (codes.asc == 0x3A)
        failure.heading = "Drive needs offline before move";
    else
        return failure;
    failure.senseLines = false;
    return failure;
}

std::optional<uint8_t> readyAdapterCount() {
    const uint32_t support = GetAspi32Info();
    if (((support >> 8) & 0xFF) != SS_COMP)
        return std::nullopt;
    return static_cast<uint8_t>(support & 0xFF);
}

std::string noChangerFound(uint8_t adapters) {
    const std::string path = aspi::configPath();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return "no changer found on the " + std::to_string(adapters) + " host adapter" + (adapters == 1 ? "" : "s") +
               " of " + path;
    if (adapters == 0)
        return "no changer found: there is no " + path + ", and the sg default found no SCSI host";
    return "no changer found: there is no " + path + ", and none on the " + std::to_string(adapters) +
           " SCSI host" + (adapters == 1 ? "" : "s") + " the sg default found";
}

std::unique_ptr<ChangerSession> openChangerSession(const std::optional<std::string>& address,
                                                     OpenFailure& failure) {
    std::optional<TargetAddress> named;
    if (address) {
        std::string why;
        named = resolveChangerAddress(*address, why);
        if (!named) {
            failure = OpenFailure{kExitUsage, "-f " + why};
            return nullptr;
        }
    }
    const std::optional<uint8_t> adapters = readyAdapterCount();
    if (!adapters) {
        failure = OpenFailure{kExitNoChanger, "the ASPI layer is not ready"};
        return nullptr;
    }

    SRBunion probe{};
    TargetAddress target;
    std::string name;
    if (named) {
        const uint32_t status = model::probeTarget(probe, *named);
        if (status != SS_COMP) {
            std::array<char, 46> text{};
            GetASPIstatus(static_cast<uint8_t>(status), text.data());
            failure = OpenFailure{kExitNoChanger, "no device answers at " + *address + " (" + text.data() + ")"};
            return nullptr;
        }
        target = *named;
        name = *address;
    } else {
        const TargetAddress saved = readSavedTarget();
        target = FindChanger(probe, saved, *adapters);
        // FindChanger falls back to the saved target; when that is no changer either, nothing was found.
        SRBunion check{};
        if (model::probeTarget(check, target) != SS_COMP || check.gdev.SRB_DeviceType != kMediumChanger) {
            failure = OpenFailure{kExitNoChanger, noChangerFound(*adapters)};
            return nullptr;
        }
        name = formatTargetAddress(target);
    }

    auto session = std::make_unique<ChangerSession>(target, name);
    session->testUnitReady();
    return session;
}

}  // namespace karvel::ctl
