#include "chart/RecordSeries.h"

#include <algorithm>

namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr std::int64_t kSecondsPerDay = 86400;

// Reads `count` decimal digits; false when one of them is not a digit.
bool readNumber(const char* text, int count, int& number) {
    number = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    return true;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t daysSinceEpoch(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int shiftedMonth = month > 2 ? month - 3 : month + 9;
    const int dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

bool lessByTime(const ChartSample& a, const ChartSample& b) {
    return a.timeMs < b.timeMs;
}

}  // namespace

bool parseRecordTime(const char* text, double& timeMs) {
    int year, month, day, hour, minute, second;
    const bool wellFormed =
        readNumber(text, 4, year) && text[4] == '-' && readNumber(text + 5, 2, month) &&
        text[7] == '-' && readNumber(text + 8, 2, day) && text[10] == ' ' &&
        readNumber(text + 11, 2, hour) && text[13] == ':' && readNumber(text + 14, 2, minute) &&
        text[16] == ':' && readNumber(text + 17, 2, second) && text[19] == '\0';
    if (!wellFormed || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    const std::int64_t seconds =
        daysSinceEpoch(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    timeMs = static_cast<double>(seconds) * kMsPerSecond;
    return true;
}

// Records come in time order from the detector; a batch that does not is
// sorted on its own and merged, which keeps a frame's cost linear.
void RecordSeries::append(const DetectorRecord* records, std::size_t count) {
    const std::size_t oldSize = m_samples.size();
    for (std::size_t i = 0; i < count; ++i) {
        double timeMs;
        if (parseRecordTime(records[i].timeText, timeMs))
            m_samples.push_back({timeMs, records[i].value});
        else
            ++m_skipped;
    }
    takeValueRange(oldSize);
    const auto middle = m_samples.begin() + static_cast<std::ptrdiff_t>(oldSize);
    if (!std::is_sorted(middle, m_samples.end(), lessByTime))
        std::stable_sort(middle, m_samples.end(), lessByTime);
    if (oldSize > 0 && middle != m_samples.end() && lessByTime(*middle, *(middle - 1)))
        std::inplace_merge(m_samples.begin(), middle, m_samples.end(), lessByTime);
}

void RecordSeries::clear() {
    m_samples.clear();
    m_minValue = 0;
    m_maxValue = 0;
    m_skipped = 0;
}

// Widens the value range by the samples from index `from` on; the samples
// before it are already in it.
void RecordSeries::takeValueRange(std::size_t from) {
    if (from == m_samples.size())
        return;
    if (from == 0)
        m_minValue = m_maxValue = m_samples.front().value;
    for (std::size_t i = from; i < m_samples.size(); ++i) {
        m_minValue = std::min(m_minValue, m_samples[i].value);
        m_maxValue = std::max(m_maxValue, m_samples[i].value);
    }
}
