// SPDX-License-Identifier: MIT
// READ ELEMENT STATUS answers read into elements: descriptor lengths, volume tags, byte
// counts, reports cut short, and descriptors outside the range asked for.
#include <gtest/gtest.h>

#include <tuple>

#include "byte_order.h"
#include "element_status_parser.h"

using namespace karvel::ctl;

namespace {

struct Descriptor {
    uint16_t address;
    uint8_t flags;  // byte 2
    std::optional<uint16_t> source;
    std::string tag;  // written when the page has volume tags
};

// Returns a report of one page of type with the given descriptor length (at least 12, or
// 48 with tags), its byte counts as a device fills them in.
std::vector<uint8_t> report(uint8_t type, bool tags, uint16_t descriptorLength, const std::vector<Descriptor>& ds) {
    std::vector<uint8_t> data(16, 0);
    data[8] = type;
    data[9] = tags ? 0x80 : 0x00;
    karvel::put_be16(&data[10], descriptorLength);
    for (const Descriptor& d : ds) {
        std::vector<uint8_t> bytes(descriptorLength, 0);
        karvel::put_be16(&bytes[0], d.address);
        bytes[2] = d.flags;
        if (d.source) {
            bytes[9] = 0x80;
            karvel::put_be16(&bytes[10], *d.source);
        }
        if (tags && descriptorLength >= 48) {
            std::fill(bytes.begin() + 12, bytes.begin() + 44, ' ');
            std::copy(d.tag.begin(), d.tag.end(), bytes.begin() + 12);
        }
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    karvel::put_be24(&data[13], static_cast<uint32_t>(data.size() - 16));
    karvel::put_be24(&data[5], static_cast<uint32_t>(data.size() - 8));
    karvel::put_be16(&data[2], static_cast<uint32_t>(ds.size()));
    return data;
}

struct Expected {
    uint16_t address;
    bool full;
    bool sourceValid;
    uint16_t source;
    std::optional<std::string> tag;
};

using Case = std::tuple<const char*, std::vector<uint8_t>, size_t, ElementType, uint32_t, uint32_t,
                        std::vector<Expected>>;  // what, data, length used, type, first, end, elements

class ElementStatus : public testing::TestWithParam<Case> {};

TEST_P(ElementStatus, ReadsTheElements) {
    const auto& [what, data, length, type, first, end, expected] = GetParam();
    std::vector<Element> elements;
    EXPECT_EQ(parse_element_status(data.data(), std::min(length, data.size()), type, first, end, elements),
              expected.size())
        << what;
    ASSERT_EQ(elements.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(elements[i].type, type) << what;
        EXPECT_EQ(elements[i].address, expected[i].address) << what << " #" << i;
        EXPECT_EQ(elements[i].full, expected[i].full) << what << " #" << i;
        EXPECT_EQ(elements[i].sourceValid, expected[i].sourceValid) << what << " #" << i;
        EXPECT_EQ(elements[i].source, expected[i].source) << what << " #" << i;
        EXPECT_EQ(elements[i].volumeTag, expected[i].tag) << what << " #" << i;
    }
}

const std::vector<Descriptor> kThreeSlots = {{1, 0x01, std::nullopt, "DISC0001"},
                                             {2, 0x00, std::nullopt, ""},
                                             {3, 0x09, 0x4000, "  PADDED  "}};

std::vector<uint8_t> withTrailingGarbage(std::vector<uint8_t> data) {
    data.resize(data.size() + 40, 0xFF);  // beyond the byte count: stale buffer bytes
    return data;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ElementStatus,
    testing::Values(
        Case{"16-byte descriptors without tags", report(2, false, 16, kThreeSlots), 9999, ElementType::storage, 1,
             4, {{1, true, false, 0, std::nullopt}, {2, false, false, 0, std::nullopt}, {3, true, true, 0x4000,
             std::nullopt}}},
        Case{"52-byte descriptors with tags, blanks trimmed, an empty tag is none",
             report(2, true, 52, kThreeSlots), 9999, ElementType::storage, 1, 4,
             {{1, true, false, 0, "DISC0001"}, {2, false, false, 0, std::nullopt}, {3, true, true, 0x4000, "PADDED"}}},
        Case{"a tag descriptor with vendor bytes after the tags", report(2, true, 90, kThreeSlots), 9999,
             ElementType::storage, 1, 4,
             {{1, true, false, 0, "DISC0001"}, {2, false, false, 0, std::nullopt}, {3, true, true, 0x4000, "PADDED"}}},
        Case{"cut inside the third descriptor: two whole ones", report(2, false, 16, kThreeSlots), 16 + 16 * 2 + 5,
             ElementType::storage, 1, 4, {{1, true, false, 0, std::nullopt}, {2, false, false, 0, std::nullopt}}},
        Case{"bytes past the report's byte count are not read", withTrailingGarbage(report(2, false, 16, kThreeSlots)),
             9999, ElementType::storage, 1, 4,
             {{1, true, false, 0, std::nullopt}, {2, false, false, 0, std::nullopt}, {3, true, true, 0x4000,
             std::nullopt}}},
        Case{"descriptors outside the range asked for are dropped", report(2, false, 16, kThreeSlots), 9999,
             ElementType::storage, 2, 3, {{2, false, false, 0, std::nullopt}}},
        Case{"a page of another type is skipped", report(4, false, 16, kThreeSlots), 9999, ElementType::storage, 0,
             0x10000, {}},
        Case{"a descriptor length too short to hold the tags it claims", report(2, true, 20, kThreeSlots), 9999,
             ElementType::storage, 0, 0x10000, {}},
        Case{"shorter than a header", std::vector<uint8_t>(7, 0), 9999, ElementType::storage, 0, 0x10000, {}},
        Case{"an empty report", report(2, false, 16, {}), 9999, ElementType::storage, 0, 0x10000, {}}));

TEST(ElementStatusPages, EveryPageOfTheTypeIsRead) {
    // Two pages, drives and then slots, in one report (as an answer for element type 0 is).
    std::vector<uint8_t> drives = report(4, false, 16, {{0x4000, 0x01, 5, ""}});
    std::vector<uint8_t> slots = report(2, false, 16, {{5, 0x00, std::nullopt, ""}});
    std::vector<uint8_t> data(drives.begin(), drives.end());
    data.insert(data.end(), slots.begin() + 8, slots.end());
    karvel::put_be24(&data[5], static_cast<uint32_t>(data.size() - 8));

    std::vector<Element> storage, dataTransfer;
    EXPECT_EQ(parse_element_status(data.data(), data.size(), ElementType::storage, 0, 0x10000, storage), 1u);
    EXPECT_EQ(parse_element_status(data.data(), data.size(), ElementType::dataTransfer, 0, 0x10000, dataTransfer),
              1u);
    ASSERT_EQ(storage.size(), 1u);
    EXPECT_EQ(storage[0].address, 5);
    ASSERT_EQ(dataTransfer.size(), 1u);
    EXPECT_EQ(dataTransfer[0].source, 5);
}

}  // namespace
