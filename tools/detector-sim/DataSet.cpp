#include "DataSet.h"

#include <climits>
#include <cstdio>

namespace sim {

namespace {

// Days between 1970-01-01 and the given date in the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Stamp civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2));
    return Stamp{year, month, day, 0, 0, 0};
}

const std::int64_t kEpoch2000 = daysFromCivil(2000, 1, 1);

std::int32_t makeValue(Random& random) {
    static const std::int32_t kSpecial[] = {0,     -1,     250,    500,       123456,
                                            99999, 100000, -99999, INT32_MIN, INT32_MAX};
    switch (random.below(6)) {
        case 0:
            return static_cast<std::int32_t>(random.below(1000));
        case 1:
            return static_cast<std::int32_t>(random.below(100000));
        case 2:
            return static_cast<std::int32_t>(100000 + random.below(10000000));
        case 3:
            return -static_cast<std::int32_t>(1 + random.below(9999));
        case 4:
            return -static_cast<std::int32_t>(random.below(2000000000));
        default:
            return kSpecial[random.below(sizeof kSpecial / sizeof kSpecial[0])];
    }
}

// Background of 100 to 399 (0.2 to 0.8 %LEL); one record in 25 starts a plume of
// up to 20000 more (40 %LEL), of which 70 % is left at the next record.
class Readings {
public:
    std::int32_t next(Random& random) {
        plume_ *= 0.7;
        if (random.below(25) == 0)
            plume_ += 2000.0 + static_cast<double>(random.below(18000));
        return static_cast<std::int32_t>(100 + random.below(300) +
                                         static_cast<std::uint64_t>(plume_));
    }

private:
    double plume_ = 0;
};

}  // namespace

std::int64_t toSeconds(const Stamp& s) {
    const std::int64_t days = daysFromCivil(s.year, s.month, s.day) - kEpoch2000;
    return days * 86400 + s.hour * 3600 + s.minute * 60 + s.second;
}

Stamp fromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    Stamp stamp = civilFromDays(days + kEpoch2000);
    stamp.hour = static_cast<int>(rest / 3600);
    stamp.minute = static_cast<int>(rest / 60 % 60);
    stamp.second = static_cast<int>(rest % 60);
    return stamp;
}

bool parseStamp(const std::string& text, Stamp& s) {
    char tail = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &s.year, &s.month,
                                   &s.day, &s.hour, &s.minute, &s.second, &tail);
    return fields == 6 && s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= 31 &&
           s.hour >= 0 && s.hour <= 23 && s.minute >= 0 && s.minute <= 59 && s.second >= 0 &&
           s.second <= 59;
}

std::string stampText(const Stamp& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", s.year, s.month, s.day,
                  s.hour, s.minute, s.second);
    return text;
}

std::uint64_t Random::next() {
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::vector<AlarmRecord> makeDataSet(std::size_t count, std::uint64_t seed, const Stamp& first,
                                     ValueKind kind) {
    Random random(seed);
    Readings readings;
    std::vector<AlarmRecord> records;
    records.reserve(count);
    std::int64_t time = toSeconds(first);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t value =
            kind == ValueKind::Readings ? readings.next(random) : makeValue(random);
        records.push_back(AlarmRecord{fromSeconds(time), value});
        time += static_cast<std::int64_t>(random.below(7200));
    }
    return records;
}

void writeCsv(const std::vector<AlarmRecord>& records, std::ostream& out) {
    for (const AlarmRecord& record : records) {
        out << stampText(record.time) << ',' << record.value << '\n';
    }
}

}  // namespace sim
