#pragma once

// The measurement units the operator chooses from, defined once for the log, the
// workbook, the CSV file and the chart. Plain C++: no Qt, no locale.

#include <cstddef>
#include <string>

struct UnitInfo {
    const char* comboItem;  // the unit combo's item
    const char* logUnit;    // after the value in a log line
    const char* header;     // the value column's header in an exported file
    int divisor;            // raw value / divisor = value in the unit
    int decimals;           // digits after the point in a value text
};

constexpr int kUnitCount = 3;
constexpr int kUnitPpm = 0;
constexpr int kUnitLel = 1;
constexpr int kUnitVol = 2;

// The unit of a combo index; any index outside the table is PPM.M.
const UnitInfo& unitInfo(int unitIndex);

// Longest value text plus its terminating NUL: "-4294967.3", "-214748.365", "-2147483648".
constexpr std::size_t kValueTextCapacity = 16;

// Writes the value in the unit into `out` (kValueTextCapacity bytes) and returns its
// length: raw / divisor rounded to the unit's decimals, always with a point, whatever
// the process's locale. The exact binary value of raw / divisor as a double decides, and
// an exact halfway value rounds away from zero (125 in %LEL.M gives "0.3"); a negative
// value keeps its sign when it rounds to zero ("-0.0"). PPM.M gives the plain integer.
std::size_t writeValueText(int value, int unitIndex, char* out);

std::string valueText(int value, int unitIndex);
