// SPDX-License-Identifier: MIT
// The changer a command works on: a request block addressed to it, and the reads and moves
// the commands are made of.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "changer_model/changer_config.h"
#include "changer_inventory.h"
#include "failure_report.h"
#include <karvel/wnaspi32.h>

namespace karvel::ctl {

// mtx's modifiers of the moves: the invert bits and the import/export tray bits (eepos).
struct MoveModifiers {
    bool invert = false;   // MOVE MEDIUM's Invert bit; EXCHANGE MEDIUM's first invert bit
    bool invert2 = false;  // EXCHANGE MEDIUM's second invert bit
    uint8_t eepos = 0;     // 0-3, the control byte's two vendor bits
};

class ChangerSession {
public:
    // Addresses a new request block to target; name is how the status text names the changer.
    ChangerSession(TargetAddress target, std::string name);

    // Returns the changer's address.
    const TargetAddress& target() const { return m_target; }
    // Returns the name `status` prints: the -f text as given, or H:T:L.
    const std::string& name() const { return m_name; }
    // Returns the session's request block, addressed to the changer (owned by the session),
    // for Nevsel and Ostrik commands.
    SRBunion& requestBlock() { return m_block; }

    // Each returns nothing when the request(s) completed, else what failed (for reportFailure).
    // INQUIRY: the changer's identity.
    std::optional<FailedRequest> readIdentity(ChangerIdentity& identity);
    // MODE SENSE page 1Dh: the element address assignment.
    std::optional<FailedRequest> readAssignment(ElementAddressAssignment& assignment);
    // The assignment, then READ ELEMENT STATUS of every element, with volume tags unless the
    // changer refuses them.
    std::optional<FailedRequest> readInventory(ChangerInventory& inventory);
    // A move the changer refuses with "source empty" (3Bh/0Eh), "destination full" (3Bh/0Dh)
    // or "medium not present" (3Ah) is headed by mtx's one line for it.
    std::optional<FailedRequest> move(uint16_t transport, uint16_t source, uint16_t destination,
                                      const MoveModifiers& modifiers = {});
    std::optional<FailedRequest> exchange(uint16_t transport, uint16_t source, uint16_t firstDestination,
                                          uint16_t secondDestination, const MoveModifiers& modifiers = {});
    // START STOP UNIT with LoEj set: the changer opens its door or ejects its magazine.
    std::optional<FailedRequest> eject();
    // Whether READ ELEMENT STATUS asks for volume tags (mtx's nobarcode clears it).
    void setVolumeTagsWanted(bool wanted) { m_tagsWanted = wanted; }
    std::optional<FailedRequest> position(uint16_t transport, uint16_t destination);
    std::optional<FailedRequest> initializeElementStatus();
    // TEST UNIT READY; its outcome only clears a pending unit attention.
    void testUnitReady();

private:
    std::optional<FailedRequest> readElements(ElementType type, uint16_t first, uint16_t count,
                                               std::vector<Element>& into);
    // Sends cdb (length bytes, no data phase) to the changer; returns its status.
    uint8_t sendCdb(const uint8_t* cdb, uint8_t length);
    // Returns the report of the move that just failed, headed by mtx's line for its sense.
    FailedRequest moveFailure(std::string heading, uint16_t source, uint16_t destination) const;
    // Sends one READ ELEMENT STATUS into data; returns its status.
    uint8_t readElementStatus(uint8_t typeAndFlags, uint16_t start, uint16_t count, std::vector<uint8_t>& data);

    TargetAddress m_target;
    std::string m_name;
    SRBunion m_block{};
    bool m_tagsRefused = false;
    bool m_tagsWanted = true;
};

// Why no session could be opened, and the exit code that tells it.
struct OpenFailure {
    int exitCode = 0;
    std::string why;
};

// Returns a session on the changer that address names (-f), or without one on the changer that
// FindChanger finds (the profile's saved target if that is a medium changer, else the first
// one the scan finds); null with failure set when the layer is not ready or nothing answers.
std::unique_ptr<ChangerSession> openChangerSession(const std::optional<std::string>& address,
                                                     OpenFailure& failure);

// Returns the line for a scan of adapters host adapters that found no medium changer, naming
// where it looked (the layer's configuration file, or the sg default when there is none).
std::string noChangerFound(uint8_t adapters);

// Returns the number of host adapters when the ASPI layer is ready, else nothing (Nevsel has
// then written its message on stderr).
std::optional<uint8_t> readyAdapterCount();

}  // namespace karvel::ctl
