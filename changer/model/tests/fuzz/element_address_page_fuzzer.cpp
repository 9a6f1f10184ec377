// SPDX-License-Identifier: MIT
// libFuzzer target for a MODE SENSE(6) answer holding page 1Dh (element address assignment)
// as a changer returns it. An answer refused must say why.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "changer_model/element_address_page.h"

using namespace karvel::model;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The length given may exceed the bytes there are: only the bytes there count.
    const std::span<const uint8_t> bytes(data, size);
    const ElementAddressPage page = readElementAddressPage(bytes, size);
    const std::string why = elementAddressPageFaultText(page.fault);
    if ((page.fault == ElementAddressPageFault::none) != why.empty()) std::abort();
    if (!page.valuesRead() && page.assignment.firstDataTransfer != 0x4000) std::abort();
    if (size > 0 && readElementAddressPage(bytes.first(size - 1), size).fault == ElementAddressPageFault::none &&
        page.fault != ElementAddressPageFault::none)
        std::abort();  // a byte more never makes a page unusable
    return 0;
}
