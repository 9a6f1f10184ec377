// SPDX-License-Identifier: MIT
// The status --json document: its fixed keys, and each element's entry.
#include <gtest/gtest.h>

#include <tuple>

#include "element_builder.h"
#include "status_json.h"

using namespace karvel::ctl;

namespace {

using karvel::ctl::test::element;

TEST(StatusJson, WholeDocument) {
    ChangerInventory inventory;
    inventory.assignment = ElementAddressAssignment{0, 1, 1, 2, 0x30, 1, 0x4000, 1};
    inventory.volumeTagsReported = true;
    inventory.transports = {element(ElementType::transport, 0, false)};
    inventory.drives = {element(ElementType::dataTransfer, 0x4000, true, 2, "DISC0002")};
    inventory.storage = {element(ElementType::storage, 1, true, std::nullopt, "DISC0001"),
                         element(ElementType::storage, 2, false)};
    inventory.ports = {element(ElementType::importExport, 0x30, false)};
    const ChangerIdentity identity{8, "KARVEL  ", "DISC JUKEBOX    ", "1.00"};

    EXPECT_EQ(formatStatusJson(inventory, identity, "0:1:2", TargetAddress{0, 1, 2}),
              "{\n"
              "  \"schema\": 1,\n"
              "  \"changer\": \"0:1:2\",\n"
              "  \"target\": {\"host_adapter\": 0, \"target_id\": 1, \"lun\": 2},\n"
              "  \"identity\": {\"vendor\": \"KARVEL\", \"product\": \"DISC JUKEBOX\", \"revision\": \"1.00\"},\n"
              "  \"volume_tags\": true,\n"
              "  \"drives\": 1,\n"
              "  \"slots\": 3,\n"
              "  \"import_export\": 1,\n"
              "  \"geometry\": {\n"
              "    \"transport\": {\"first\": 0, \"count\": 1},\n"
              "    \"storage\": {\"first\": 1, \"count\": 2},\n"
              "    \"import_export\": {\"first\": 48, \"count\": 1},\n"
              "    \"data_transfer\": {\"first\": 16384, \"count\": 1}\n"
              "  },\n"
              "  \"elements\": [\n"
              "    {\"type\": \"transport\", \"number\": 0, \"address\": 0, \"full\": false, \"source\": null, "
              "\"volume_tag\": null},\n"
              "    {\"type\": \"data_transfer\", \"number\": 0, \"address\": 16384, \"full\": true, \"source\": "
              "{\"address\": 2, \"slot\": 2}, \"volume_tag\": \"DISC0002\"},\n"
              "    {\"type\": \"storage\", \"number\": 1, \"address\": 1, \"full\": true, \"source\": null, "
              "\"volume_tag\": \"DISC0001\"},\n"
              "    {\"type\": \"storage\", \"number\": 2, \"address\": 2, \"full\": false, \"source\": null, "
              "\"volume_tag\": null},\n"
              "    {\"type\": \"import_export\", \"number\": 3, \"address\": 48, \"full\": false, \"source\": null, "
              "\"volume_tag\": null}\n"
              "  ]\n"
              "}\n");
}

// A changer that reports no element keeps the list's two lines; bytes outside printable ASCII
// in any text are escaped as \u00XX, DEL and line feed included.
TEST(StatusJson, EmptyListAndEscapedBytes) {
    ChangerInventory inventory;
    inventory.assignment = ElementAddressAssignment{0, 0, 0, 0, 0, 0, 0, 0};
    const ChangerIdentity identity{8, "A\x7F", "B\n", "\xE9"};
    EXPECT_EQ(formatStatusJson(inventory, identity, "x\ty", TargetAddress{}),
              "{\n"
              "  \"schema\": 1,\n"
              "  \"changer\": \"x\\u0009y\",\n"
              "  \"target\": {\"host_adapter\": 0, \"target_id\": 0, \"lun\": 0},\n"
              "  \"identity\": {\"vendor\": \"A\\u007f\", \"product\": \"B\\u000a\", \"revision\": \"\\u00e9\"},\n"
              "  \"volume_tags\": false,\n"
              "  \"drives\": 0,\n"
              "  \"slots\": 0,\n"
              "  \"import_export\": 0,\n"
              "  \"geometry\": {\n"
              "    \"transport\": {\"first\": 0, \"count\": 0},\n"
              "    \"storage\": {\"first\": 0, \"count\": 0},\n"
              "    \"import_export\": {\"first\": 0, \"count\": 0},\n"
              "    \"data_transfer\": {\"first\": 0, \"count\": 0}\n"
              "  },\n"
              "  \"elements\": [\n"
              "  ]\n"
              "}\n");
}

TEST(StatusJson, SourceThatNamesNoSlotHasANullSlotNumber) {
    ChangerInventory inventory;
    inventory.drives = {element(ElementType::dataTransfer, 0x4000, true, 0x4001),
                        element(ElementType::dataTransfer, 0x4001, false)};
    const std::string json = formatStatusJson(inventory, ChangerIdentity{}, "x", TargetAddress{});
    EXPECT_NE(json.find("\"source\": {\"address\": 16385, \"slot\": null}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"address\": 16385, \"full\": false, \"source\": null, \"volume_tag\": null}"), std::string::npos) << json;
}

using Escape = std::tuple<std::string, std::string>;  // text, literal

class JsonString : public testing::TestWithParam<Escape> {};

TEST_P(JsonString, EscapesWhatJsonDoesNotAllowPlain) {
    EXPECT_EQ(jsonString(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Texts, JsonString,
                         testing::Values(Escape{"DISC0001", "\"DISC0001\""}, Escape{"a\"b", "\"a\\\"b\""},
                                         Escape{"a\\b", "\"a\\\\b\""}, Escape{"a\tb", "\"a\\u0009b\""},
                                         Escape{std::string("a\0b", 3), "\"a\\u0000b\""},
                                         Escape{"\xE9t\xE9", "\"\\u00e9t\\u00e9\""},
                                         Escape{"", "\"\""}));

}  // namespace
