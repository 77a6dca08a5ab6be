#include "xls/RkNumber.h"

#include <cmath>
#include <cstring>

namespace xls {

namespace {

constexpr uint32_t kDivideBy100 = 0x1;
constexpr uint32_t kInteger = 0x2;
constexpr uint32_t kFlags = kDivideBy100 | kInteger;
constexpr int32_t kLeastInteger = -(1 << 29);
constexpr int32_t kGreatestInteger = (1 << 29) - 1;

uint64_t BitsOf(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double DoubleOf(uint64_t bits) {
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

double RkToDouble(uint32_t rk) {
    const uint32_t number = rk & ~kFlags;
    double value = 0.0;
    if ((rk & kInteger) != 0) {
        // The flags are cleared, so the division by 4 is an exact signed shift.
        value = static_cast<double>(static_cast<int32_t>(number) / 4);
    } else {
        value = DoubleOf(static_cast<uint64_t>(number) << 32);
    }
    return (rk & kDivideBy100) != 0 ? value / 100.0 : value;
}

std::optional<uint32_t> RkFromInteger(int32_t value) {
    if (value < kLeastInteger || value > kGreatestInteger) {
        return std::nullopt;
    }
    return (static_cast<uint32_t>(value) << 2) | kInteger;
}

bool PassesRkTest(double value) {
    const double scaled = value * 10000.0;
    if (!(std::fabs(scaled) < 2147483648.0)) {
        return false;
    }
    const auto tenThousandths = static_cast<int64_t>(static_cast<int32_t>(scaled));
    const auto hundredths = static_cast<int64_t>(static_cast<int32_t>(value * 100.0));
    return tenThousandths == 100 * hundredths;
}

std::optional<uint32_t> RkFromDouble(double value) {
    if (!PassesRkTest(value)) {
        return std::nullopt;
    }
    const int64_t wholeTimes100 = 100 * static_cast<int64_t>(static_cast<int32_t>(value));
    const auto hundredths = static_cast<int64_t>(static_cast<int32_t>(value * 100.0));
    const bool divide = wholeTimes100 != hundredths;
    const double stored = divide ? value * 100.0 : value;
    const uint32_t rk =
        (static_cast<uint32_t>(BitsOf(stored) >> 32) & ~kFlags) | (divide ? kDivideBy100 : 0);
    if (RkToDouble(rk) != value) {
        return std::nullopt;
    }
    return rk;
}

}  // namespace xls
