#include "link/Units.h"

#include <cmath>
#include <cstdint>

namespace {

const UnitInfo kUnits[kUnitCount] = {
    {"PPM.M", "PPM.M", "PPM.M", 1, 0},
    {"%LEL.M", "%LEL.M", "%LEL.M", 500, 1},
    {"%VOL.M", "%VOL.M", "VOL.M", 10000, 3},
};

std::int64_t powerOfTen(int exponent) {
    std::int64_t power = 1;
    while (exponent-- > 0) {
        power *= 10;
    }
    return power;
}

// magnitude / divisor in units of 10^-decimals, rounded as the double magnitude /
// divisor rounds. Away from a halfway point the integer quotient decides (a double
// is far closer to the true quotient than half a unit of the last digit); at an exact
// halfway point of the true quotient, the double lies on one side of it or on it, and
// a fused multiply-add tells which without rounding.
std::int64_t roundedScaled(std::int64_t magnitude, int divisor, std::int64_t scale) {
    const std::int64_t numerator = magnitude * scale;
    std::int64_t scaled = numerator / divisor;
    const std::int64_t twiceRemainder = 2 * (numerator % divisor);
    if (twiceRemainder > divisor) {
        ++scaled;
    } else if (twiceRemainder == divisor) {
        const double quotient = static_cast<double>(magnitude) / divisor;
        const double halfway = static_cast<double>(scaled) + 0.5;
        if (std::fma(quotient, static_cast<double>(scale), -halfway) >= 0.0) {
            ++scaled;
        }
    }
    return scaled;
}

// Writes the decimal digits of `number`, at least `width` of them, and returns the end.
char* writeDigits(std::int64_t number, int width, char* out) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0 || count < width);
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

}  // namespace

const UnitInfo& unitInfo(int unitIndex) {
    return unitIndex >= 0 && unitIndex < kUnitCount ? kUnits[unitIndex] : kUnits[kUnitPpm];
}

std::size_t writeValueText(int value, int unitIndex, char* out) {
    const UnitInfo& unit = unitInfo(unitIndex);
    const std::int64_t magnitude = std::llabs(static_cast<long long>(value));
    const std::int64_t scale = powerOfTen(unit.decimals);
    const std::int64_t scaled = roundedScaled(magnitude, unit.divisor, scale);
    char* end = out;
    if (value < 0) {
        *end++ = '-';
    }
    end = writeDigits(scaled / scale, 1, end);
    if (unit.decimals > 0) {
        *end++ = '.';
        end = writeDigits(scaled % scale, unit.decimals, end);
    }
    *end = '\0';
    return static_cast<std::size_t>(end - out);
}

std::string valueText(int value, int unitIndex) {
    char text[kValueTextCapacity];
    return std::string(text, writeValueText(value, unitIndex, text));
}
