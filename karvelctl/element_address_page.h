// SPDX-License-Identifier: MIT
// The element address assignment page (1Dh) in a MODE SENSE(6) answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "changer_model/changer_config.h"

namespace karvel::ctl {

// Returns the assignment in the first length bytes of a MODE SENSE(6) answer (the block
// descriptors, whose length byte 3 gives, skipped), or nothing with the reason in why when
// the page is not there.
std::optional<ElementAddressAssignment> parse_element_address_page(const uint8_t* data, size_t length,
                                                                   std::string& why);

}  // namespace karvel::ctl
