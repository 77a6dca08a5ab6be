// RK values: the compact 32-bit form of a number used by RK and MULRK cell
// records. Bit 0 set means the number is divided by 100; bit 1 set means bits
// 2 to 31 hold a signed 30-bit integer, clear means they hold the upper 30
// bits of an IEEE-754 double whose lower 34 bits are zero.
#pragma once

#include <cstdint>
#include <optional>

namespace xls {

// The number an RK value stands for.
double RkToDouble(uint32_t rk);

// The RK value of an integer cell; none when the integer lies outside the
// signed 30-bit range (-2^29 to 2^29 - 1).
std::optional<uint32_t> RkFromInteger(int32_t value);

// True when the value has nothing beyond the hundredths at four decimals and
// |value| x 10000 stays below 2^31: the candidates for the RK form.
bool PassesRkTest(double value);

// The RK value of a double: the value itself, or the value x 100 with the
// divide flag when the value has hundredths. None when the value fails the
// RK test or when the 30 bits kept do not give back exactly the same number.
std::optional<uint32_t> RkFromDouble(double value);

}  // namespace xls
