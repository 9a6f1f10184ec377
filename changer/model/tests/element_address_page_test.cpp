// SPDX-License-Identifier: MIT
// The element address assignment in a MODE SENSE(6) answer, block descriptors honoured.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "byte_order.h"
#include "changer_model/element_address_page.h"

using namespace karvel::model;

namespace {

constexpr uint16_t kValues[8] = {0x0000, 1, 0x0001, 10, 0x0030, 1, 0x4000, 2};

// Returns a mode sense answer with a block descriptor of blockLength bytes and page code.
std::vector<uint8_t> answer(uint8_t blockLength, uint8_t pageCode = 0x1D) {
    std::vector<uint8_t> data(4 + blockLength, 0);
    data[3] = blockLength;
    data.push_back(pageCode);
    data.push_back(0x12);
    for (uint16_t v : kValues) {
        data.push_back(0);
        data.push_back(0);
        karvel::put_be16(&data[data.size() - 2], v);
    }
    data.resize(data.size() + 4, 0);  // the page's last four bytes
    data[0] = static_cast<uint8_t>(data.size() - 1);
    return data;
}

std::vector<uint8_t> withModeDataLength(std::vector<uint8_t> data, uint8_t length) {
    data[0] = length;
    return data;
}

using Case = std::tuple<const char*, std::vector<uint8_t>, bool, std::string>;  // what, data, parsed, why part

class ElementAddressPageAnswers : public testing::TestWithParam<Case> {};

TEST_P(ElementAddressPageAnswers, ReadsTheValuesOrSaysWhy) {
    const auto& [what, data, parsed, reason] = GetParam();
    std::vector<uint8_t> buffer = data;
    buffer.resize(255, 0xEE);  // what lies beyond the answer must not be read
    const ElementAddressPage page = readElementAddressPage(buffer, buffer.size());
    const std::string why = elementAddressPageFaultText(page.fault);
    ASSERT_EQ(page.fault == ElementAddressPageFault::none, parsed) << what << ": " << why;
    if (!parsed) {
        EXPECT_NE(why.find(reason), std::string::npos) << what << ": " << why;
        return;
    }
    const ElementAddressAssignment* a = &page.assignment;
    EXPECT_EQ(a->firstTransport, kValues[0]) << what;
    EXPECT_EQ(a->transportCount, kValues[1]) << what;
    EXPECT_EQ(a->firstStorage, kValues[2]) << what;
    EXPECT_EQ(a->storageCount, kValues[3]) << what;
    EXPECT_EQ(a->firstImportExport, kValues[4]) << what;
    EXPECT_EQ(a->importExportCount, kValues[5]) << what;
    EXPECT_EQ(a->firstDataTransfer, kValues[6]) << what;
    EXPECT_EQ(a->dataTransferCount, kValues[7]) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ElementAddressPageAnswers,
    testing::Values(Case{"no block descriptor", answer(0), true, ""},
                    Case{"an 8-byte block descriptor", answer(8), true, ""},
                    Case{"a block descriptor longer than 31 bytes allow", answer(40), true, ""},
                    Case{"the saved-page bit set in the page code", answer(0, 0x9D), true, ""},
                    Case{"another page", answer(0, 0x1F), false, "another mode page"},
                    Case{"mode data length ending inside the page", withModeDataLength(answer(8), 20), false,
                         "does not fit"}));

TEST(ElementAddressPageLength, ABufferShorterThanTheHeaderIsRefused) {
    const uint8_t data[3] = {2, 0, 0};
    const ElementAddressPage page = readElementAddressPage(data, sizeof data);
    EXPECT_EQ(page.fault, ElementAddressPageFault::noHeader);
    EXPECT_FALSE(std::string(elementAddressPageFaultText(page.fault)).empty());
}

// Which bytes count: the mode data length (byte 0, plus 1) and the bytes asked for, whichever
// ends first. Values that are not read leave the defaults (3000h and 4000h the first port and
// drive addresses).
using Bounds = std::tuple<const char*, std::vector<uint8_t>, size_t /*bytes asked for*/, ElementAddressPageFault,
                          uint16_t /*first port*/, uint16_t /*first drive*/>;

class ElementAddressPageBounds : public testing::TestWithParam<Bounds> {};

TEST_P(ElementAddressPageBounds, ReadsOnlyTheBytesReturnedAndAskedFor) {
    const auto& [what, data, asked, fault, firstPort, firstDrive] = GetParam();
    std::vector<uint8_t> buffer = data;
    buffer.resize(std::max<size_t>(buffer.size(), 31), 0);  // a zeroed buffer, as the callers clear theirs
    const ElementAddressPage page = readElementAddressPage(buffer, asked);
    EXPECT_EQ(page.fault, fault) << what;
    EXPECT_EQ(page.valuesRead(), fault == ElementAddressPageFault::none || fault == ElementAddressPageFault::otherPage)
        << what;
    EXPECT_EQ(page.assignment.firstImportExport, firstPort) << what;
    EXPECT_EQ(page.assignment.firstDataTransfer, firstDrive) << what;
}

std::vector<uint8_t> headerOnly() {
    return {3, 0, 0, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ElementAddressPageBounds,
    testing::Values(Bounds{"only the 4-byte header returned", headerOnly(), 31, ElementAddressPageFault::cutShort,
                           0x3000, 0x4000},
                    Bounds{"the whole page inside 31 bytes", answer(8), 31, ElementAddressPageFault::none, 0x0030,
                           0x4000},
                    Bounds{"the page returned but asked for only 29 bytes", answer(8), 29,
                           ElementAddressPageFault::cutShort, 0x3000, 0x4000},
                    Bounds{"the values end exactly at the bytes asked for", answer(8), 30,
                           ElementAddressPageFault::none, 0x0030, 0x4000},
                    Bounds{"a block descriptor longer than 31 bytes allow", answer(14), 31,
                           ElementAddressPageFault::cutShort, 0x3000, 0x4000},
                    Bounds{"another page code: the values are read", answer(0, 0x1F), 31,
                           ElementAddressPageFault::otherPage, 0x0030, 0x4000},
                    Bounds{"more asked for than the buffer holds", answer(0), 4096, ElementAddressPageFault::none,
                           0x0030, 0x4000},
                    Bounds{"nothing asked for", answer(0), 0, ElementAddressPageFault::noHeader, 0x3000, 0x4000}));

}  // namespace
