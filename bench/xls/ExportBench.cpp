// The export's workload, timed: a three-sheet document whose first sheet
// holds a header row and ROWS rows of two text cells (a time stamp and a
// value), saved to OUT.xls.
// Usage: xls_export_bench ROWS OUT.xls
// Last line: rows=... build_ms=... save_ms=... peak_rss_kb=...
#include <string>

#include "ExportSheet.h"

int main(int argc, char** argv) {
    const long rows = workload::ParseRows(argc, argv, "xls_export_bench");
    if (rows < 0) {
        return 2;
    }
    const std::string path = argv[2];
    const std::u16string widePath(path.begin(), path.end());

    const workload::Clock::time_point buildStart = workload::Clock::now();
    xls::XlsDocument document;
    document.New(3);
    workload::FillSheet(document, rows);
    const double buildMs = workload::MillisecondsSince(buildStart);

    const workload::Clock::time_point saveStart = workload::Clock::now();
    const bool saved = document.SaveAs(widePath.c_str());
    document.Close();
    const double saveMs = workload::MillisecondsSince(saveStart);

    if (!saved) {
        std::fprintf(stderr, "could not save %s\n", path.c_str());
        return 1;
    }
    workload::PrintFigures(rows, buildMs, saveMs);
    return 0;
}
