// SPDX-License-Identifier: MIT
// karvelctl's own one-line ASPI layer configuration, for the -f forms that name a device the
// user's configuration may not serve (/dev/sgN, iscsi://HOST/IQN/LUN): the layer reads its
// configuration once, at its first call, so the line must be in place before that call.
#pragma once

#include <string>

namespace karvel::ctl {

// Writes line to a new private file (mkstemp, mode 0600, in $TMPDIR or /tmp), points
// ASPI32_CONFIG at it, makes the layer read it at once and removes the file again, so a CHAP
// secret on the line never outlives this call on disk. Returns true, or false with why set
// when the file cannot be written (the layer is then left untouched).
bool use_private_layer_config(const std::string& line, std::string& why);

}  // namespace karvel::ctl
