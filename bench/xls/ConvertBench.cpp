// Converting the export workload's cell model into worksheet records and
// the shared string table, the first and largest step of a save, apart from
// the process and the file: the conversion's own share of xls_export_bench.
#include <benchmark/benchmark.h>

#include "ExportWorkload.h"
#include "xls/XlsDocument.h"

namespace {

void FillExportSheet(xls::XlsSheet& sheet, long rows) {
    sheet.Cell(0, 0)->SetString(workload::kTimeHeader);
    sheet.Cell(0, 1)->SetString(workload::kValueHeader);
    char time[32];
    char value[16];
    for (long i = 0; i < rows; ++i) {
        workload::FormatTime(i, time, sizeof time);
        workload::FormatValue(i, value, sizeof value);
        sheet.Cell(static_cast<int>(i + 1), 0)->SetString(time);
        sheet.Cell(static_cast<int>(i + 1), 1)->SetString(value);
    }
}

void ConvertExportSheets(benchmark::State& state) {
    xls::XlsDocument document;
    document.New(3);
    FillExportSheet(*document.GetSheet(0), state.range(0));
    for (auto _ : state) {
        document.ConvertSheets();
        benchmark::DoNotOptimize(document.Globals().sst.uniqueCount);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * state.range(0));
}

BENCHMARK(ConvertExportSheets)->Arg(1000)->Arg(65534)->Unit(benchmark::kMillisecond);

}  // namespace
