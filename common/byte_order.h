// SPDX-License-Identifier: MIT
// Big-endian fields of CDBs and SCSI data, read and written byte by byte.
// Never cast a byte pointer to a wider integer: SCSI fields are unaligned.
#pragma once

#include <cstdint>

namespace karvel {

// Writes the low 16 bits of v at p, most significant byte first.
inline void put_be16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// Writes the low 24 bits of v at p, most significant byte first.
inline void put_be24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 16);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v);
}

// Writes v at p, most significant byte first.
inline void put_be32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// Returns the 16-bit big-endian value at p.
inline uint16_t get_be16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

// Returns the 24-bit big-endian value at p.
inline uint32_t get_be24(const uint8_t* p) {
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

// Returns the 32-bit big-endian value at p.
inline uint32_t get_be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace karvel
