#pragma once

// The alarm records the simulated detector holds: a deterministic series generated
// from a seed, in time order, with values that exercise every unit's formatting
// (negative, zero, beyond five digits, the 32-bit extremes).

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

// Calendar time with the fields the link carries.
struct Stamp {
    int year, month, day, hour, minute, second;
};

// Seconds since 2000-01-01 00:00:00 on a plain calendar (no time zones).
std::int64_t toSeconds(const Stamp& stamp);
Stamp fromSeconds(std::int64_t seconds);

// "YYYY-MM-DD hh:mm:ss"; false when the text does not have that form.
bool parseStamp(const std::string& text, Stamp& stamp);
std::string stampText(const Stamp& stamp);

struct AlarmRecord {
    Stamp time;
    std::int32_t value;
};

// Small, fast and identical on every platform (unlike the standard distributions).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, bound); bound must be positive.
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }

private:
    std::uint64_t state_;
};

// Mixed: values that exercise the formatting. Readings: what a sensor reports, a
// low background with now and then a gas plume that rises at once and dies away.
enum class ValueKind { Mixed, Readings };

std::vector<AlarmRecord> makeDataSet(std::size_t count, std::uint64_t seed, const Stamp& first,
                                     ValueKind kind = ValueKind::Mixed);

// One line per record: time text, a comma, the raw value.
void writeCsv(const std::vector<AlarmRecord>& records, std::ostream& out);

}  // namespace sim
