// SPDX-License-Identifier: MIT
// The status text from a parsed model: every line shape mtx prints.
#include <gtest/gtest.h>

#include <tuple>

#include "element_builder.h"
#include "status_format.h"

using namespace karvel::ctl;

namespace {

using karvel::ctl::test::element;

Element drive(uint16_t address, bool full, std::optional<uint16_t> source = std::nullopt,
              std::optional<std::string> tag = std::nullopt) {
    return element(ElementType::dataTransfer, address, full, source, std::move(tag));
}

Element slot(uint16_t address, bool full, std::optional<std::string> tag = std::nullopt) {
    return element(ElementType::storage, address, full, std::nullopt, std::move(tag));
}

Element port(uint16_t address, bool full, std::optional<std::string> tag = std::nullopt) {
    return element(ElementType::importExport, address, full, std::nullopt, std::move(tag));
}

ChangerInventory inventory(std::vector<Element> drives, std::vector<Element> storage, std::vector<Element> ports) {
    ChangerInventory i;
    i.drives = std::move(drives);
    i.storage = std::move(storage);
    i.ports = std::move(ports);
    return i;
}

using Case = std::tuple<const char*, ChangerInventory, std::string, std::string>;  // what, model, name, text

class StatusFormat : public testing::TestWithParam<Case> {};

TEST_P(StatusFormat, PrintsWhatMtxPrints) {
    const auto& [what, model, name, expected] = GetParam();
    EXPECT_EQ(formatStatus(model, name), expected) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Models, StatusFormat,
    testing::Values(
        Case{"the example with volume tags",
             inventory({drive(0x4000, true, 3, "DISC0003"), drive(0x4001, false)},
                       {slot(1, true, "DISC0001"), slot(2, false), slot(3, false)}, {port(0x30, false)}),
             "0:4:0",
             "  Storage Changer 0:4:0:2 Drives, 4 Slots ( 1 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 3 Loaded):VolumeTag = DISC0003\n"
             "Data Transfer Element 1:Empty\n"
             "      Storage Element 1:Full :VolumeTag=DISC0001\n"
             "      Storage Element 2:Empty\n"
             "      Storage Element 3:Empty\n"
             "      Storage Element 4 IMPORT/EXPORT:Empty\n"},
        Case{"without volume tags a full slot keeps its trailing blank",
             inventory({drive(0x4000, true, 2)}, {slot(1, true), slot(2, false)}, {}), "/dev/sg3",
             "  Storage Changer /dev/sg3:1 Drives, 2 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 2 Loaded)\n"
             "      Storage Element 1:Full \n"
             "      Storage Element 2:Empty\n"},
        Case{"volume tags from the changer with control characters, escaped",
             inventory({drive(0x4000, true, 1, "A\x1b[2J")}, {slot(1, true, std::string("B\0C", 3))}, {}), "x",
             "  Storage Changer x:1 Drives, 1 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 1 Loaded):VolumeTag = A\\x1b[2J\n"
             "      Storage Element 1:Full :VolumeTag=B\\x00C\n"},
        Case{"a drive whose source is not valid",
             inventory({drive(0x4000, true)}, {slot(1, false)}, {}), "x",
             "  Storage Changer x:1 Drives, 1 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Full (Unknown Storage Element Loaded)\n"
             "      Storage Element 1:Empty\n"},
        Case{"a drive whose source names no slot (a drive's address)",
             inventory({drive(0x4000, true, 0x4001), drive(0x4001, false)}, {slot(1, false)}, {}), "x",
             "  Storage Changer x:2 Drives, 1 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Full (Unknown Storage Element Loaded)\n"
             "Data Transfer Element 1:Empty\n"
             "      Storage Element 1:Empty\n"},
        Case{"slots numbered by position, not by address; a disc loaded from a port",
             inventory({drive(0x01, true, 0x10, "P1")}, {slot(0x100, true, "A"), slot(0x101, true, "B")},
                       {port(0x10, false), port(0x11, true, "C")}),
             "iscsi://h/iqn/1",
             "  Storage Changer iscsi://h/iqn/1:1 Drives, 4 Slots ( 2 Import/Export )\n"
             "Data Transfer Element 0:Full (Storage Element 3 Loaded):VolumeTag = P1\n"
             "      Storage Element 1:Full :VolumeTag=A\n"
             "      Storage Element 2:Full :VolumeTag=B\n"
             "      Storage Element 3 IMPORT/EXPORT:Empty\n"
             "      Storage Element 4 IMPORT/EXPORT:Full :VolumeTag=C\n"},
        Case{"an empty element that reports a tag shows it", inventory({drive(0x4000, false, std::nullopt, "T")},
                                                                       {slot(1, false, "U")}, {}),
             "x",
             "  Storage Changer x:1 Drives, 1 Slots ( 0 Import/Export )\n"
             "Data Transfer Element 0:Empty:VolumeTag = T\n"
             "      Storage Element 1:Empty:VolumeTag=U\n"},
        Case{"no elements at all", inventory({}, {}, {}), "0:0:0",
             "  Storage Changer 0:0:0:0 Drives, 0 Slots ( 0 Import/Export )\n"}));

}  // namespace
