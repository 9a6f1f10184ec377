// SPDX-License-Identifier: MIT
// The `status --json` document: the changer's identity, geometry and every element.
#pragma once

#include <string>

#include "changer_model/changer_config.h"
#include "changer_inventory.h"

namespace karvel::ctl {

// The version of the status JSON's layout, its "schema" key.
inline constexpr int kStatusJsonSchema = 1;

// Returns the JSON text (keys as README.md documents them, ending in LF) of inventory for
// the changer called name at target with identity.
std::string formatStatusJson(const ChangerInventory& inventory, const ChangerIdentity& identity,
                               const std::string& name, const TargetAddress& target);

// Returns text as a JSON string literal, quotes included.
std::string jsonString(const std::string& text);

}  // namespace karvel::ctl
