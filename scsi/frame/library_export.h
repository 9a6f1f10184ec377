// SPDX-License-Identifier: MIT
// How an export of Nevsel and Ostrik is built: C linkage, default visibility, and a
// guard that keeps every exception inside the library.
#pragma once

#include <cstdint>

#define KARVEL_EXPORT extern "C" __attribute__((visibility("default")))

namespace karvel {

// What a guarded command returns when it caught a failure instead of finishing its request.
inline constexpr uint8_t kCaughtFailure = 0xFF;

// Returns body(), or failure when body throws anything: no exception may cross a C boundary.
template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// Runs body and swallows whatever it throws (for exports without a result).
template <typename Body>
void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace karvel
