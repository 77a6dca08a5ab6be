// Conversion of the cell model into worksheet records: one ROW per grid row,
// rows grouped in row blocks of 32, one cell record per cell except that
// runs of numbers in RK form share one MULRK, and one shared string table
// entry per distinct text.

#include <algorithm>
#include <optional>
#include <utility>

#include "xls/RkNumber.h"
#include "xls/SharedStringIndex.h"
#include "xls/XlsDocument.h"
#include "xls/records/Blank.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"
#include "xls/records/RK.h"

namespace xls {

namespace {

// A row block's cell list starts with room for this many entries (or for
// every cell of the block's rows, when that is fewer) and grows in steps of
// this many, so that a full block of 8192 cells is re-allocated at most
// eight times.
constexpr size_t kCellListStep = 1000;
constexpr int kRowsPerBlock = static_cast<int>(RowBlock::kRowsPerBlock);

int BlockCount(int rows) {
    return (rows - 1) / kRowsPerBlock + 1;
}

void ReserveCellStep(RowBlock::CellList& cells) {
    if (cells.size() % kCellListStep == 0 && cells.capacity() < cells.size() + kCellListStep) {
        cells.reserve(cells.size() + kCellListStep);
    }
}

// The RK value of a numeric cell; none when only a NUMBER record holds it exactly.
std::optional<uint32_t> RkOf(const XlsCell& cell) {
    return cell.Type() == CellInt ? RkFromInteger(cell.IntValue())
                                  : RkFromDouble(cell.DoubleValue());
}

double ValueOf(const XlsCell& cell) {
    return cell.Type() == CellInt ? static_cast<double>(cell.IntValue()) : cell.DoubleValue();
}

// The numbers of 8-bit and 16-bit text cells of all sheets.
std::pair<size_t, size_t> CountTextCells(const std::vector<XlsSheetRef>& sheets) {
    size_t narrow = 0;
    size_t wide = 0;
    for (const XlsSheetRef& sheet : sheets) {
        for (int r = 0; r < sheet->RowCount(); ++r) {
            for (int k = 0; k < sheet->ColumnCount(); ++k) {
                const CellType type = sheet->At(r, k).Type();
                narrow += type == CellString ? 1 : 0;
                wide += type == CellWString ? 1 : 0;
            }
        }
    }
    return {narrow, wide};
}

class SheetConverter {
public:
    SheetConverter(const XlsSheet& sheet, Worksheet& worksheet, SharedStringIndex& strings)
        : sheet_(sheet),
          worksheet_(worksheet),
          strings_(strings),
          rows_(sheet.RowCount()),
          columns_(sheet.ColumnCount()) {}

    void Convert() {
        SetUpRecords();
        for (int r = 0; r < rows_; ++r) {
            ConvertRow(r);
            CollectMergedRanges(r);
        }
        worksheet_.cellTable.ReleaseUnusedMemory();
    }

private:
    void SetUpRecords() {
        const int blocks = BlockCount(rows_);
        worksheet_.index.firstRow = 0;
        worksheet_.index.lastRowPlusOne = static_cast<uint64_t>(rows_);
        worksheet_.index.dbcellPositions.assign(static_cast<size_t>(blocks), 0);
        worksheet_.colInfos = sheet_.ColumnInfos();
        worksheet_.dimensions.firstRow = 0;
        worksheet_.dimensions.lastRowPlusOne = static_cast<uint32_t>(rows_);
        worksheet_.dimensions.firstColumn = 0;
        worksheet_.dimensions.lastColumnPlusOne = static_cast<uint16_t>(columns_);
        if (sheet_.Index() > 0) {
            worksheet_.window.options &= static_cast<uint16_t>(~Window2::kSelected);
        }
        worksheet_.cellTable.AddRowBlocks(static_cast<size_t>(blocks));
    }

    void ConvertRow(int r) {
        RowBlock& block = worksheet_.cellTable.blocks[static_cast<size_t>(r / kRowsPerBlock)];
        if (r % kRowsPerBlock == 0) {
            StartBlock(block, r);
        }
        Row& row = block.rows.emplace_back();
        row.row = static_cast<uint16_t>(r);
        row.firstColumn = 0;
        row.lastColumnPlusOne = static_cast<uint16_t>(columns_);
        block.dbcell.rowOffsets.push_back(0);
        for (int k = 0; k < columns_;) {
            k = ConvertCells(block, r, k);
        }
    }

    void StartBlock(RowBlock& block, int firstRow) {
        const auto rows = static_cast<size_t>(std::min(kRowsPerBlock, rows_ - firstRow));
        block.rows.reserve(rows);
        block.dbcell.rowOffsets.reserve(rows);
        const size_t room = std::min(kCellListStep, rows * static_cast<size_t>(columns_));
        if (block.cells.capacity() < room) {
            block.cells.reserve(room);
        }
        HashTexts(firstRow, firstRow + static_cast<int>(rows));
    }

    // The hashes of the texts in rows first to end - 1, in the order the
    // rows' cells are converted.
    void HashTexts(int first, int end) {
        hashes_.clear();
        nextHash_ = 0;
        for (int r = first; r < end; ++r) {
            const XlsCell* cells = sheet_.RowAt(r);
            for (int k = 0; k < columns_; ++k) {
                if (cells[k].Type() == CellString) {
                    hashes_.push_back(strings_.Hash(cells[k].Text()));
                } else if (cells[k].Type() == CellWString) {
                    hashes_.push_back(strings_.Hash(cells[k].WideText()));
                }
            }
        }
    }

    // Appends a new cell block holding a record of the given kind at (r, k);
    // block and record live in the cell table's arena.
    template <typename RecordType>
    RecordType& Append(RowBlock& block, int r, int k) {
        CellBlockRef cell = worksheet_.cellTable.NewCellBlock<RecordType>();
        auto& record = static_cast<RecordType&>(*cell->GetRecord());
        record.row = static_cast<uint16_t>(r);
        record.column = static_cast<uint16_t>(k);
        block.cells.push_back(std::move(cell));
        ReserveCellStep(block.cells);
        return record;
    }

    // Writes the cell at (r, k), or the run of numbers starting there, and
    // returns the column after it.
    int ConvertCells(RowBlock& block, int r, int k) {
        const XlsCell& cell = sheet_.At(r, k);
        const auto xf = static_cast<uint16_t>(cell.XFIndex());
        switch (cell.Type()) {
            case CellString:
            case CellWString: {
                LabelSST& label = Append<LabelSST>(block, r, k);
                label.xfIndex = xf;
                const uint32_t hash = hashes_[nextHash_++];
                label.sstIndex = cell.Type() == CellString ? strings_.Add(cell.Text(), hash)
                                                           : strings_.Add(cell.WideText(), hash);
                return k + 1;
            }
            case CellInt:
            case CellDouble:
                return ConvertNumbers(block, r, k);
            case CellFormula:
                if (const XlsFormula* formula = cell.GetFormula()) {
                    formula->CopyTo(Append<Formula>(block, r, k), static_cast<uint16_t>(r),
                                    static_cast<uint16_t>(k), xf);
                    return k + 1;
                }
                break;
            case CellEmpty:
                break;
        }
        Append<Blank>(block, r, k).xfIndex = xf;
        return k + 1;
    }

    // A number in RK form starts a run over the following cells of the same
    // type that are in RK form too: one RK for a single cell, one MULRK for
    // two or more. A number that only a NUMBER record holds exactly stands
    // alone and ends any run.
    int ConvertNumbers(RowBlock& block, int r, int k) {
        const XlsCell& first = sheet_.At(r, k);
        const std::optional<uint32_t> rk = RkOf(first);
        const auto xf = static_cast<uint16_t>(first.XFIndex());
        if (!rk) {
            Number& number = Append<Number>(block, r, k);
            number.xfIndex = xf;
            number.value = ValueOf(first);
            return k + 1;
        }
        int end = k + 1;
        while (end < columns_ && sheet_.At(r, end).Type() == first.Type() &&
               RkOf(sheet_.At(r, end))) {
            ++end;
        }
        if (end - k == 1) {
            RK& record = Append<RK>(block, r, k);
            record.xfIndex = xf;
            record.rkValue = *rk;
            return end;
        }
        MulRK& run = Append<MulRK>(block, r, k);
        run.lastColumn = static_cast<uint16_t>(end - 1);
        run.cells.reserve(static_cast<size_t>(end - k));
        for (int c = k; c < end; ++c) {
            const XlsCell& cell = sheet_.At(r, c);
            run.cells.push_back({static_cast<uint16_t>(cell.XFIndex()), *RkOf(cell)});
        }
        return end;
    }

    // Every cell of row r that starts a range of more than one cell gives a
    // merged range, cut at the edges of the grid. Taken row by row while the
    // row's cells are at hand, the ranges come in row-major order.
    void CollectMergedRanges(int r) {
        const XlsCell* cells = sheet_.RowAt(r);
        for (int k = 0; k < columns_; ++k) {
            const XlsCell& cell = cells[k];
            if (cell.RowSpan() > 1 || cell.ColumnSpan() > 1) {
                const int lastRow = std::min(r + cell.RowSpan() - 1, XlsSheet::kMaxRows - 1);
                const int lastColumn =
                    std::min(k + cell.ColumnSpan() - 1, XlsSheet::kMaxColumns - 1);
                worksheet_.mergedCells.ranges.emplace_back(
                    static_cast<uint16_t>(r), static_cast<uint16_t>(lastRow),
                    static_cast<uint16_t>(k), static_cast<uint16_t>(lastColumn));
            }
        }
    }

    const XlsSheet& sheet_;
    Worksheet& worksheet_;
    SharedStringIndex& strings_;
    const int rows_;
    const int columns_;
    // The current row block's text hashes and the next one to use.
    std::vector<uint32_t> hashes_;
    size_t nextHash_ = 0;
};

}  // namespace

void XlsDocument::ConvertSheets() {
    worksheets_.clear();
    worksheets_.resize(sheets_.size());
    const auto [narrowTexts, wideTexts] = CountTextCells(sheets_);
    SharedStringIndex strings(workbook_.sst, narrowTexts, wideTexts);
    for (size_t i = 0; i < sheets_.size(); ++i) {
        sheets_[i]->ReleaseUnusedMemory();
        SheetConverter(*sheets_[i], worksheets_[i], strings).Convert();
    }
}

}  // namespace xls
