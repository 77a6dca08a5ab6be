// The export's workload, shared by the benchmark programs that write it with
// different writers: a header row, then ROWS rows of a time stamp text
// ("yyyy-MM-dd hh:mm:ss", 37 seconds apart) and a value text, formatted the
// same way for every writer.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace workload {

using Clock = std::chrono::steady_clock;

constexpr const char* kTimeHeader = "DateTime";
constexpr const char* kValueHeader = "PPM.M";

// The process's peak resident memory. On Linux the high-water mark of this
// program's own address space: getrusage's figure also counts what the
// parent process held before the exec (a launcher's memory, not ours).
inline long PeakRssKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    long peak = -1;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[128];
        while (peak < 0 && std::fgets(line, sizeof line, status) != nullptr) {
            std::sscanf(line, "VmHWM: %ld kB", &peak);
        }
        std::fclose(status);
    }
    if (peak < 0) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        peak = usage.ru_maxrss;
    }
    return peak;
#endif
}

// Civil date of a day count from 1970-01-01 (proleptic Gregorian calendar).
inline void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// Writes `value` in decimal, padded with zeros to at least `width` digits,
// and returns the end of the digits. Both writers get their texts from here,
// as the export's own formatter does, without printf.
inline char* PutDigits(char* out, uint64_t value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (; width > count; --width) {
        *out++ = '0';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

inline char* PutSeparated(char* out, uint64_t value, char separator) {
    *out++ = separator;
    return PutDigits(out, value, 2);
}

// The text from `text` to `end`, as much as fits `size` bytes with its NUL.
inline void CopyText(const char* text, const char* end, char* out, size_t size) {
    const size_t length = std::min(static_cast<size_t>(end - text), size - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The time text of record i (counted from 0): "yyyy-MM-dd hh:mm:ss".
inline void FormatTime(long i, char* out, size_t size) {
    constexpr int64_t kStart = 1704067200;  // 2024-01-01 00:00:00
    const int64_t seconds = kStart + 37 * static_cast<int64_t>(i);
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(seconds / 86400, year, month, day);
    const auto inDay = static_cast<uint64_t>(seconds % 86400);
    char text[40];
    char* end = PutDigits(text, static_cast<uint64_t>(year), 4);
    end = PutSeparated(end, static_cast<uint64_t>(month), '-');
    end = PutSeparated(end, static_cast<uint64_t>(day), '-');
    end = PutSeparated(end, inDay / 3600, ' ');
    end = PutSeparated(end, inDay / 60 % 60, ':');
    end = PutSeparated(end, inDay % 60, ':');
    CopyText(text, end, out, size);
}

// The value text of record i (counted from 0, so never negative).
inline void FormatValue(long i, char* out, size_t size) {
    char text[24];
    char* end = PutDigits(text, static_cast<uint64_t>(i * 7919 % 100000), 1);
    CopyText(text, end, out, size);
}

// ROWS from the command line (usage: PROGRAM ROWS OUT); -1 when it is not usable.
inline long ParseRows(int argc, char** argv, const char* program) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ROWS OUT\n", program);
        return -1;
    }
    const long rows = std::strtol(argv[1], nullptr, 10);
    if (rows < 0) {
        std::fprintf(stderr, "ROWS must not be negative\n");
    }
    return rows;
}

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline void PrintFigures(long rows, double buildMs, double saveMs) {
    std::printf("rows=%ld build_ms=%.1f save_ms=%.1f peak_rss_kb=%ld\n", rows, buildMs, saveMs,
                PeakRssKb());
}

}  // namespace workload
