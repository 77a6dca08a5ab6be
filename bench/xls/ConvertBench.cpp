// Converting the export workload's cell model into worksheet records and
// the shared string table, the first and largest step of a save, apart from
// the process and the file: the conversion's own share of xls_export_bench.
#include <benchmark/benchmark.h>

#include "ExportSheet.h"

namespace {

void ConvertExportSheets(benchmark::State& state) {
    xls::XlsDocument document;
    document.New(3);
    workload::FillSheet(document, state.range(0));
    for (auto _ : state) {
        document.ConvertSheets();
        benchmark::DoNotOptimize(document.Globals().sst.uniqueCount);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * state.range(0));
}

BENCHMARK(ConvertExportSheets)->Arg(1000)->Arg(65534)->Unit(benchmark::kMillisecond);

}  // namespace
