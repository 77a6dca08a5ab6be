#include "xls/XlsSheet.h"

#include <algorithm>
#include <memory>

#include "xls/XlsDocument.h"
#include "xls/records/Blank.h"
#include "xls/records/BoolErr.h"
#include "xls/records/LabelSST.h"
#include "xls/records/MulBlank.h"
#include "xls/records/MulRK.h"
#include "xls/records/Number.h"
#include "xls/records/RK.h"

namespace xls {

namespace {

// The grid size a DIMENSIONS value asks for: at least 1, at most `limit`.
int GridExtent(uint32_t lastPlusOne, int limit) {
    return static_cast<int>(std::clamp<uint32_t>(lastPlusOne, 1, static_cast<uint32_t>(limit)));
}

void LoadText(XlsCell& cell, const SharedStringTable& sst, uint32_t index) {
    if (index >= sst.strings.size()) {
        return;
    }
    const LargeString& text = sst.strings[index];
    if (text.IsWide()) {
        cell.SetWideString(text.Wide().c_str());
    } else {
        cell.SetString(text.Narrow().c_str());
    }
}

}  // namespace

XlsSheet::XlsSheet(XlsDocument* document, int index) : document_(document), index_(index) {}

void XlsSheet::Release() {
    if (--refCount_ == 0) {
        delete this;
    }
}

XlsCell* XlsSheet::Cell(int row, int column) {
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
        return nullptr;
    }
    if (column >= columnCount_) {
        Widen(column + 1);
    }
    if (row >= rowCount_) {
        Lengthen(row + 1);
    }
    return ChunkRow(row) + column;
}

XlsCell* XlsSheet::NewChunk(CellArena& memory, int stride) {
    const auto count = static_cast<size_t>(kRowsPerChunk * stride);
    auto* cells = static_cast<XlsCell*>(memory.Allocate(count * sizeof(XlsCell)));
    std::uninitialized_default_construct_n(cells, count);
    return cells;
}

void XlsSheet::DestroyCells() {
    for (XlsCell* chunk : chunks_) {
        std::destroy_n(chunk, static_cast<size_t>(kRowsPerChunk * stride_));
    }
}

// While the grid is one chunk the rows become exactly as long as asked;
// beyond that they at least double, so that a grid widened column by column
// is laid out anew only a few times. The wider chunks are all made before
// any cell moves, so that running out of memory leaves the grid as it was.
void XlsSheet::Widen(int columns) {
    columnCount_ = columns;
    if (columns <= stride_) {
        return;
    }
    const int stride =
        chunks_.size() > 1 ? std::max(columns, std::min(kMaxColumns, 2 * stride_)) : columns;
    CellArena memory;
    std::vector<XlsCell*> wider;
    wider.reserve(chunks_.size());
    for (size_t c = 0; c < chunks_.size(); ++c) {
        wider.push_back(NewChunk(memory, stride));
    }
    for (size_t c = 0; c < chunks_.size(); ++c) {
        for (int r = 0; r < kRowsPerChunk; ++r) {
            std::move(chunks_[c] + r * stride_, chunks_[c] + (r + 1) * stride_,
                      wider[c] + r * stride);
        }
    }
    DestroyCells();
    chunks_.swap(wider);
    cellMemory_ = std::move(memory);
    stride_ = stride;
}

void XlsSheet::Lengthen(int rows) {
    while (static_cast<int>(chunks_.size()) * kRowsPerChunk < rows) {
        chunks_.push_back(NewChunk(cellMemory_, stride_));
    }
    rowCount_ = rows;
}

void XlsSheet::LoadFromWorksheet() {
    DestroyCells();
    chunks_.clear();
    cellMemory_ = CellArena();
    stride_ = 0;
    rowCount_ = 0;
    columnCount_ = 0;
    Worksheet& worksheet = document_->Worksheets()[static_cast<size_t>(index_)];
    Cell(GridExtent(worksheet.dimensions.lastRowPlusOne, kMaxRows) - 1,
         GridExtent(worksheet.dimensions.lastColumnPlusOne, kMaxColumns) - 1);
    const SharedStringTable& sst = document_->Globals().sst;
    for (const RowBlock& block : worksheet.cellTable.blocks) {
        for (const CellBlockRef& cell : block.cells) {
            if (cell && cell->GetRecord() != nullptr) {
                LoadCell(*cell, sst);
            }
        }
    }
}

// Maps a cell record back to the cells it describes. BOOLERR has no cell
// type of its own; like BLANK and MULBLANK it only gives cells their format.
void XlsSheet::LoadCell(const CellBlock& block, const SharedStringTable& sst) {
    const CellRecord& record = *block.GetRecord();
    if (const auto* mulRK = block.As<MulRK>()) {
        for (size_t i = 0; i < mulRK->cells.size(); ++i) {
            LoadNumber(record.row, record.column + static_cast<int>(i), mulRK->cells[i].rkValue,
                       mulRK->cells[i].xfIndex);
        }
        return;
    }
    if (const auto* mulBlank = block.As<MulBlank>()) {
        for (size_t i = 0; i < mulBlank->xfIndices.size(); ++i) {
            LoadFormat(record.row, record.column + static_cast<int>(i), mulBlank->xfIndices[i]);
        }
        return;
    }
    XlsCell* cell = Cell(record.row, record.column);
    if (cell != nullptr) {
        LoadSingleCell(block, sst, *cell);
    }
}

void XlsSheet::LoadNumber(int row, int column, uint32_t rk, uint16_t xfIndex) {
    if (XlsCell* cell = Cell(row, column)) {
        cell->SetRK(rk);
        cell->SetXFIndex(xfIndex);
    }
}

void XlsSheet::LoadFormat(int row, int column, uint16_t xfIndex) {
    if (XlsCell* cell = Cell(row, column)) {
        cell->SetXFIndex(xfIndex);
    }
}

void XlsSheet::LoadSingleCell(const CellBlock& block, const SharedStringTable& sst, XlsCell& cell) {
    if (const auto* rk = block.As<RK>()) {
        cell.SetRK(rk->rkValue);
        cell.SetXFIndex(rk->xfIndex);
    } else if (const auto* number = block.As<Number>()) {
        cell.SetDouble(number->value);
        cell.SetXFIndex(number->xfIndex);
    } else if (const auto* label = block.As<LabelSST>()) {
        LoadText(cell, sst, label->sstIndex);
        cell.SetXFIndex(label->xfIndex);
    } else if (const auto* formula = block.As<Formula>()) {
        cell.SetFormula(*formula);
        cell.SetXFIndex(formula->xfIndex);
    } else if (const auto* blank = block.As<Blank>()) {
        cell.SetXFIndex(blank->xfIndex);
    } else if (const auto* boolErr = block.As<BoolErr>()) {
        cell.SetXFIndex(boolErr->xfIndex);
    }
}

}  // namespace xls
