// Little-endian stores shared by every BIFF8 record: each multi-byte value is
// written least significant byte first by shifting, never by copying host memory.
#pragma once

#include <cstdint>
#include <cstring>

namespace xls {

inline void StoreU8(uint8_t* out, uint8_t value) {
    out[0] = value;
}

inline void StoreU16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreU32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

inline void StoreU64(uint8_t* out, uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The 8 bytes of the IEEE-754 double-precision bit pattern, least significant first.
inline void StoreDouble(uint8_t* out, double value) {
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value, "double must be 64 bits");
    std::memcpy(&bits, &value, sizeof bits);
    StoreU64(out, bits);
}

}  // namespace xls
