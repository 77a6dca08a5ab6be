// Sizing and writing a worksheet substream: the work must grow linearly with
// the number of rows, up to a full sheet of 65536 rows.
#include <benchmark/benchmark.h>

#include <vector>

#include "xls/Worksheet.h"
#include "xls/records/LabelSST.h"

namespace {

// Rows of `columns` text cells, grouped in row blocks as the conversion does.
xls::Worksheet SheetOf(uint32_t rows, uint32_t columns) {
    xls::Worksheet sheet;
    const uint32_t blocks = (rows - 1) / xls::RowBlock::kRowsPerBlock + 1;
    sheet.index.dbcellPositions.assign(blocks, 0);
    sheet.cellTable.blocks.resize(blocks);
    for (uint32_t r = 0; r < rows; ++r) {
        xls::RowBlock& block = sheet.cellTable.blocks[r / xls::RowBlock::kRowsPerBlock];
        xls::Row& row = block.rows.emplace_back();
        row.row = static_cast<uint16_t>(r);
        row.lastColumnPlusOne = static_cast<uint16_t>(columns);
        block.dbcell.rowOffsets.push_back(0);
        for (uint32_t c = 0; c < columns; ++c) {
            xls::CellBlockRef cell = xls::MakeRef<xls::CellBlock>();
            cell->SetType(0x00FD);
            auto* label = cell->As<xls::LabelSST>();
            label->row = static_cast<uint16_t>(r);
            label->column = static_cast<uint16_t>(c);
            label->sstIndex = r * columns + c;
            block.cells.push_back(cell);
        }
    }
    return sheet;
}

void SizeAndWriteSheet(benchmark::State& state) {
    const auto rows = static_cast<uint32_t>(state.range(0));
    const auto columns = static_cast<uint32_t>(state.range(1));
    xls::Worksheet sheet = SheetOf(rows, columns);
    std::vector<uint8_t> buffer(sheet.RecordSize());
    for (auto _ : state) {
        const uint32_t size = sheet.RecordSize();
        benchmark::DoNotOptimize(sheet.Write(buffer.data()));
        benchmark::DoNotOptimize(size);
    }
    state.SetComplexityN(static_cast<int64_t>(rows) * columns);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(buffer.size()));
}

BENCHMARK(SizeAndWriteSheet)
    ->ArgsProduct({{4096, 16384, 65536}, {2, 16}})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
