// SPDX-License-Identifier: MIT
// libFuzzer target for the simulator's state file: the input is the file's text. A state the
// parser accepts must be sound and must come back unchanged from its own text (what the
// simulator writes it reads again); anything but a StateError that escapes is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/state_text.h"

using namespace aspi::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    JukeboxState state;
    try {
        state = parseState(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const StateError&) {
        return 0;
    }
    if (stateFault(state)) std::abort();
    const std::string text = formatState(state);
    if (parseState(text) != state || formatState(parseState(text)) != text) std::abort();
    return 0;
}
