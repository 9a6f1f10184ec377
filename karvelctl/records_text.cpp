// SPDX-License-Identifier: MIT
#include "records_text.h"

namespace karvel::ctl {

std::string formatRecords(const std::vector<bool>& full) {
    std::string text;
    for (size_t i = 0; i < full.size(); ++i)
        text += "Slot " + std::to_string(i + 1) + (full[i] ? ":Full\n" : ":Empty\n");
    return text;
}

}  // namespace karvel::ctl
