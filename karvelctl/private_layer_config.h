// SPDX-License-Identifier: MIT
// karvelctl's own one-line ASPI layer configuration, for the -f forms that name a device the
// user's configuration may not serve (/dev/sgN, iscsi://HOST/IQN/LUN): the layer reads its
// configuration once, at its first call, so the line must be in place before that call.
#pragma once

#include <string>

namespace karvel::ctl {

// Returns a descriptor of an anonymous memory file (memfd) that holds text and is sealed
// against every change (write, grow, shrink, and further seals), or -1 with why set. It has
// no name in any directory: nobody can swap it, and nothing is left behind by a crash.
int sealedLayerConfig(const std::string& text, std::string& why);

// Puts line in a sealed memory file, points ASPI32_CONFIG at it as /proc/self/fd/N, makes the
// layer read it at once and closes it again, so a CHAP secret on the line never reaches a
// disk. Returns true, or false with why set when the file cannot be made (the layer is then
// left untouched).
bool usePrivateLayerConfig(const std::string& line, std::string& why);

}  // namespace karvel::ctl
