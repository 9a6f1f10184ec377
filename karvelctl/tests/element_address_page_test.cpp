// SPDX-License-Identifier: MIT
// The element address assignment in a MODE SENSE(6) answer, block descriptors honoured.
#include <gtest/gtest.h>

#include <tuple>

#include "byte_order.h"
#include "element_address_page.h"

using namespace karvel::ctl;

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

class ElementAddressPage : public testing::TestWithParam<Case> {};

TEST_P(ElementAddressPage, ReadsTheValuesOrSaysWhy) {
    const auto& [what, data, parsed, reason] = GetParam();
    std::vector<uint8_t> buffer = data;
    buffer.resize(255, 0xEE);  // what lies beyond the answer must not be read
    std::string why;
    const std::optional<ElementAddressAssignment> a = parse_element_address_page(buffer.data(), buffer.size(), why);
    ASSERT_EQ(a.has_value(), parsed) << what << ": " << why;
    if (!parsed) {
        EXPECT_NE(why.find(reason), std::string::npos) << what << ": " << why;
        return;
    }
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
    Answers, ElementAddressPage,
    testing::Values(Case{"no block descriptor", answer(0), true, ""},
                    Case{"an 8-byte block descriptor", answer(8), true, ""},
                    Case{"a block descriptor longer than Karvel's 31 bytes allow", answer(40), true, ""},
                    Case{"the saved-page bit set in the page code", answer(0, 0x9D), true, ""},
                    Case{"another page", answer(0, 0x1F), false, "another mode page"},
                    Case{"mode data length ending inside the page", withModeDataLength(answer(8), 20), false,
                         "does not fit"}));

TEST(ElementAddressPageLength, ABufferShorterThanTheHeaderIsRefused) {
    const uint8_t data[3] = {2, 0, 0};
    std::string why;
    EXPECT_FALSE(parse_element_address_page(data, sizeof data, why));
    EXPECT_FALSE(why.empty());
}

}  // namespace
