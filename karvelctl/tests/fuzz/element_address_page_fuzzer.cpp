// SPDX-License-Identifier: MIT
// libFuzzer target for a MODE SENSE(6) answer holding page 1Dh (element address assignment)
// as a changer returns it. An answer refused must say why.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "element_address_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string why;
    const auto assignment = karvel::ctl::parse_element_address_page(data, size, why);
    if (!assignment && why.empty()) std::abort();
    return 0;
}
