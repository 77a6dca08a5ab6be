// The export's workload, timed: a three-sheet document whose first sheet
// holds a header row and ROWS rows of two text cells (a time stamp and a
// value), saved to OUT.xls.
// Usage: xls_export_bench ROWS OUT.xls
// Last line: rows=... build_ms=... save_ms=... peak_rss_kb=...
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "xls/FormatManager.h"
#include "xls/XlsDocument.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

long PeakRssKb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// Civil date of a day count from 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
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

// "yyyy-MM-dd hh:mm:ss" of a time in seconds since 1970-01-01 00:00:00.
void FormatTime(int64_t seconds, char* out, size_t size) {
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(seconds / 86400, year, month, day);
    const int64_t inDay = seconds % 86400;
    std::snprintf(out, size, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                  static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                  static_cast<int>(inDay % 60));
}

void FillSheet(xls::XlsDocument& document, long rows) {
    constexpr int64_t kStart = 1704067200;  // 2024-01-01 00:00:00
    xls::XlsSheet* sheet = document.GetSheet(0);
    sheet->Cell(0, 0)->SetString("DateTime");
    sheet->Cell(0, 1)->SetString("PPM.M");
    xls::FormatManager formats(document);
    formats.FindOrAddFont(xls::FontDescription{u"Arial", 200, 700, 0, 0x7FFF, 0, 0, 0, 0});
    char time[32];
    char value[16];
    for (long i = 0; i < rows; ++i) {
        const int row = static_cast<int>(i + 1);
        xls::XlsCell* timeCell = sheet->Cell(row, 0);
        if (timeCell == nullptr) {
            break;
        }
        FormatTime(kStart + 37 * static_cast<int64_t>(i), time, sizeof time);
        timeCell->SetString(time);
        std::snprintf(value, sizeof value, "%ld", i * 7919 % 100000);
        sheet->Cell(row, 1)->SetString(value);
    }
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: xls_export_bench ROWS OUT.xls\n");
        return 2;
    }
    const long rows = std::strtol(argv[1], nullptr, 10);
    if (rows < 0) {
        std::fprintf(stderr, "ROWS must not be negative\n");
        return 2;
    }
    const std::string path = argv[2];
    const std::u16string widePath(path.begin(), path.end());

    const Clock::time_point buildStart = Clock::now();
    xls::XlsDocument document;
    document.New(3);
    FillSheet(document, rows);
    const double buildMs = MillisecondsSince(buildStart);

    const Clock::time_point saveStart = Clock::now();
    const bool saved = document.SaveAs(widePath.c_str());
    document.Close();
    const double saveMs = MillisecondsSince(saveStart);

    if (!saved) {
        std::fprintf(stderr, "could not save %s\n", path.c_str());
        return 1;
    }
    std::printf("rows=%ld build_ms=%.1f save_ms=%.1f peak_rss_kb=%ld\n", rows, buildMs, saveMs,
                PeakRssKb());
    return 0;
}
