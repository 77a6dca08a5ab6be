// The export's workload written with libxlsxwriter in constant-memory mode,
// for comparison with xls_export_bench: three worksheets, a bold font, the
// header row and ROWS rows of the same two texts, saved to OUT.xlsx.
// Usage: xlsxwriter_export_bench ROWS OUT.xlsx
// Last line: rows=... build_ms=... save_ms=... peak_rss_kb=...
// In constant-memory mode the rows go to the file as they are written, so
// build_ms already includes most of the writing.
#include <xlsxwriter.h>

#include "ExportWorkload.h"

namespace {

// Row 0 holds the header, record i goes to row i + 1; the format's limit
// of 1048576 rows is far above the workload's.
bool FillSheet(lxw_worksheet* sheet, long rows) {
    bool ok = worksheet_write_string(sheet, 0, 0, workload::kTimeHeader, nullptr) == LXW_NO_ERROR;
    ok = ok && worksheet_write_string(sheet, 0, 1, workload::kValueHeader, nullptr) == LXW_NO_ERROR;
    char time[32];
    char value[16];
    for (long i = 0; ok && i < rows; ++i) {
        const auto row = static_cast<lxw_row_t>(i + 1);
        workload::FormatTime(i, time, sizeof time);
        workload::FormatValue(i, value, sizeof value);
        ok = worksheet_write_string(sheet, row, 0, time, nullptr) == LXW_NO_ERROR &&
             worksheet_write_string(sheet, row, 1, value, nullptr) == LXW_NO_ERROR;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const long rows = workload::ParseRows(argc, argv, "xlsxwriter_export_bench");
    if (rows < 0) {
        return 2;
    }

    const workload::Clock::time_point buildStart = workload::Clock::now();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(argv[2], &options);
    if (workbook == nullptr) {
        std::fprintf(stderr, "could not create %s\n", argv[2]);
        return 1;
    }
    lxw_worksheet* first = workbook_add_worksheet(workbook, nullptr);
    workbook_add_worksheet(workbook, nullptr);
    workbook_add_worksheet(workbook, nullptr);
    format_set_bold(workbook_add_format(workbook));
    const bool filled = FillSheet(first, rows);
    const double buildMs = workload::MillisecondsSince(buildStart);

    const workload::Clock::time_point saveStart = workload::Clock::now();
    const bool saved = workbook_close(workbook) == LXW_NO_ERROR;
    const double saveMs = workload::MillisecondsSince(saveStart);

    if (!filled || !saved) {
        std::fprintf(stderr, "could not save %s\n", argv[2]);
        return 1;
    }
    workload::PrintFigures(rows, buildMs, saveMs);
    return 0;
}
