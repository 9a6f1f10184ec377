// SPDX-License-Identifier: MIT
// READ ELEMENT STATUS answers read into elements: descriptor lengths, volume tags, byte
// counts, reports cut short, and descriptors outside the range asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "byte_order.h"
#include "changer_model/element_status.h"

using namespace karvel::model;

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
    std::vector<ElementDescriptor> elements;
    EXPECT_EQ(readElementStatus(data, std::min(length, data.size()), type, first, end, elements),
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

    std::vector<ElementDescriptor> storage, dataTransfer;
    EXPECT_EQ(readElementStatus(data, data.size(), ElementType::storage, 0, 0x10000, storage), 1u);
    EXPECT_EQ(readElementStatus(data, data.size(), ElementType::dataTransfer, 0, 0x10000, dataTransfer),
              1u);
    ASSERT_EQ(storage.size(), 1u);
    EXPECT_EQ(storage[0].address, 5);
    ASSERT_EQ(dataTransfer.size(), 1u);
    EXPECT_EQ(dataTransfer[0].source, 5);
}

// One descriptor's bytes and the fields read from them.
struct DescriptorFields {
    uint16_t address;
    bool full, importExport, except, access;
    uint8_t asc, ascq;
    bool sourceValid, invert;
    uint16_t source;
};

using FieldCase = std::tuple<const char*, std::vector<uint8_t>, DescriptorFields>;

class DescriptorBits : public testing::TestWithParam<FieldCase> {};

TEST_P(DescriptorBits, AreReadFromTheirBytes) {
    const auto& [what, bytes, e] = GetParam();
    const ElementDescriptor d = readElementDescriptor(bytes, ElementType::importExport, false, false);
    EXPECT_EQ(std::make_tuple(d.address, d.full, d.importExport, d.except, d.access, d.asc, d.ascq, d.sourceValid,
                              d.invert, d.source),
              std::make_tuple(e.address, e.full, e.importExport, e.except, e.access, e.asc, e.ascq, e.sourceValid,
                              e.invert, e.source))
        << what;
    EXPECT_EQ(d.type, ElementType::importExport) << what;
    EXPECT_FALSE(d.volumeTagRaw) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DescriptorBits,
    testing::Values(
        FieldCase{"nothing set", std::vector<uint8_t>(12, 0), {0, false, false, false, false, 0, 0, false, false, 0}},
        FieldCase{"full, from a valid source",
                  {0x00, 0x31, 0x01, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x05},
                  {0x31, true, false, false, false, 0, 0, true, false, 5}},
        FieldCase{"except with its sense codes",
                  {0x40, 0x01, 0x04, 0, 0x3B, 0x0E, 0, 0, 0, 0, 0, 0},
                  {0x4001, false, false, true, false, 0x3B, 0x0E, false, false, 0}},
        FieldCase{"a port placed by the operator, accessible, the medium inverted",
                  {0x00, 0x0A, 0x0B, 0, 0, 0, 0, 0, 0, 0xC0, 0x12, 0x34},
                  {0x0A, true, true, false, true, 0, 0, true, true, 0x1234}},
        FieldCase{"the source address without the valid bit", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x07},
                  {1, false, false, false, false, 0, 0, false, false, 7}},
        FieldCase{"cut after the flags: the rest reads as zero", {0x00, 0x02, 0x01},
                  {2, true, false, false, false, 0, 0, false, false, 0}},
        FieldCase{"no bytes at all", {}, {0, false, false, false, false, 0, 0, false, false, 0}}));

// Returns a descriptor of length bytes with identifier text in the tag field at offset 12
// (primary) and, when alternate is given, at offset 48; each field padded with pad.
std::vector<uint8_t> taggedDescriptor(size_t length, const std::string& primary, std::optional<std::string> alternate,
                                      uint8_t pad = ' ') {
    std::vector<uint8_t> bytes(length, 0);
    const auto place = [&](size_t at, const std::string& text) {
        if (at + 36 > length)
            return;
        std::fill(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + 32), pad);
        std::copy(text.begin(), text.end(), bytes.begin() + static_cast<long>(at));
        bytes[at + 34] = 0x01;
        bytes[at + 35] = 0x02;  // sequence number 0102h
    };
    place(12, primary);
    if (alternate)
        place(48, *alternate);
    return bytes;
}

std::string padded(const std::string& text, char pad = ' ') {
    std::string field = text;
    field.resize(32, pad);
    return field;
}

struct TagExpected {
    std::optional<std::string> raw;      // the 32 bytes of the field, when there is one
    std::optional<std::string> trimmed;
    std::optional<std::string> alternateRaw;
    std::optional<std::string> alternateTrimmed;
};

using TagCase = std::tuple<const char*, std::vector<uint8_t>, bool /*primary*/, bool /*alternate*/, TagExpected>;

class VolumeTags : public testing::TestWithParam<TagCase> {};

std::optional<std::string> rawText(const std::optional<VolumeTagField>& field) {
    if (!field)
        return std::nullopt;
    return std::string(field->identifier.begin(), field->identifier.end());
}

TEST_P(VolumeTags, AreKeptRawAndTrimmed) {
    const auto& [what, bytes, primary, alternate, e] = GetParam();
    const ElementDescriptor d = readElementDescriptor(bytes, ElementType::storage, primary, alternate);
    EXPECT_EQ(rawText(d.volumeTagRaw), e.raw) << what;
    EXPECT_EQ(d.volumeTag, e.trimmed) << what;
    EXPECT_EQ(rawText(d.alternateVolumeTagRaw), e.alternateRaw) << what;
    EXPECT_EQ(d.alternateVolumeTag, e.alternateTrimmed) << what;
    if (d.volumeTagRaw) {
        EXPECT_EQ(d.volumeTagRaw->sequence, 0x0102) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, VolumeTags,
    testing::Values(
        TagCase{"a primary tag padded with blanks", taggedDescriptor(52, "DISC0001", std::nullopt), true, false,
                {padded("DISC0001"), "DISC0001", std::nullopt, std::nullopt}},
        TagCase{"leading blanks are trimmed, kept in the raw field", taggedDescriptor(48, "  AB", std::nullopt), true,
                false, {padded("  AB"), "AB", std::nullopt, std::nullopt}},
        TagCase{"a blank tag field: raw, but no tag", taggedDescriptor(48, "", std::nullopt), true, false,
                {padded(""), std::nullopt, std::nullopt, std::nullopt}},
        TagCase{"a tag padded with NULs", taggedDescriptor(48, "X1", std::nullopt, 0), true, false,
                {padded("X1", '\0'), "X1", std::nullopt, std::nullopt}},
        TagCase{"no tag field announced", taggedDescriptor(52, "DISC0001", std::nullopt), false, false,
                {std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
        TagCase{"both tags", taggedDescriptor(84, "P1", "A1"), true, true, {padded("P1"), "P1", padded("A1"), "A1"}},
        TagCase{"only the alternate tag, right after byte 11", taggedDescriptor(48, "A2", std::nullopt), false, true,
                {std::nullopt, std::nullopt, padded("A2"), "A2"}},
        TagCase{"an alternate tag that does not fit is left out", taggedDescriptor(60, "P3", std::nullopt), true,
                true, {padded("P3"), "P3", std::nullopt, std::nullopt}},
        TagCase{"a primary tag that does not fit is left out", taggedDescriptor(40, "P4", std::nullopt), true, false,
                {std::nullopt, std::nullopt, std::nullopt, std::nullopt}}));

TEST(ElementStatusTags, BothTagsOfAPageAreRead) {
    std::vector<uint8_t> data(16, 0);
    data[8] = 2;
    data[9] = 0xC0;
    karvel::put_be16(&data[10], 84);
    const std::vector<uint8_t> d = taggedDescriptor(84, "P1", "A1");
    data.insert(data.end(), d.begin(), d.end());
    karvel::put_be16(&data[16], 7);
    karvel::put_be24(&data[13], 84);
    karvel::put_be24(&data[5], 92);
    std::vector<ElementDescriptor> slots;
    ASSERT_EQ(readElementStatus(data, data.size(), ElementType::storage, 0, 0x10000, slots), 1u);
    EXPECT_EQ(std::make_tuple(slots[0].address, slots[0].volumeTag, slots[0].alternateVolumeTag),
              std::make_tuple(uint16_t{7}, std::optional<std::string>("P1"), std::optional<std::string>("A1")));
}

// The fixed 16-byte stride after 16 bytes of headers: no header is consulted.
using StrideCase = std::tuple<const char*, size_t /*length*/, size_t /*index*/, std::optional<uint16_t> /*source*/>;

class FixedStride : public testing::TestWithParam<StrideCase> {};

TEST_P(FixedStride, ReadsWholeDescriptorsInsideTheLength) {
    const auto& [what, length, index, source] = GetParam();
    std::vector<uint8_t> data(16 + 16 * 3, 0xFF);  // headers that claim anything
    for (size_t i = 0; i < 3; ++i) {
        uint8_t* d = &data[16 + 16 * i];
        std::fill(d, d + 16, 0);
        d[2] = 0x01;
        karvel::put_be16(d + 10, static_cast<uint16_t>(0x100 + i));
    }
    const std::optional<ElementDescriptor> d = fixedStrideDescriptor(data, length, index, ElementType::dataTransfer);
    ASSERT_EQ(d.has_value(), source.has_value()) << what;
    if (d) {
        EXPECT_EQ(d->source, *source) << what;
        EXPECT_TRUE(d->full) << what;
        EXPECT_EQ(d->type, ElementType::dataTransfer) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, FixedStride,
    testing::Values(StrideCase{"the first", 64, 0, 0x100}, StrideCase{"the last", 64, 2, 0x102},
                    StrideCase{"past the last", 64, 3, std::nullopt},
                    StrideCase{"cut inside the second", 16 + 16 + 8, 1, std::nullopt},
                    StrideCase{"one descriptor's worth", 32, 0, 0x100},
                    StrideCase{"headers only", 16, 0, std::nullopt}, StrideCase{"shorter than the headers", 10, 0,
                                                                                std::nullopt},
                    StrideCase{"a length beyond the buffer", 4096, 2, 0x102},
                    StrideCase{"an index that would overflow", 64, SIZE_MAX, std::nullopt}));

}  // namespace
