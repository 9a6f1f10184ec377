// SPDX-License-Identifier: MIT
// What `records` prints of the changer's records.
#include <gtest/gtest.h>

#include <vector>

#include "records_text.h"

namespace karvel::ctl {
namespace {

TEST(RecordsText, IsOneLinePerSlotCountedFromOne) {
    EXPECT_EQ(formatRecords({true, false, true}), "Slot 1:Full\nSlot 2:Empty\nSlot 3:Full\n");
    EXPECT_EQ(formatRecords({}), "");
}

}  // namespace
}  // namespace karvel::ctl
