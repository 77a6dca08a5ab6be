// One sheet of a workbook model: a rectangular grid of cells that grows on
// demand, columns first, so that every row holds the same number of cells.
#pragma once

#include <cstdint>
#include <vector>

#include "xls/CellArena.h"
#include "xls/CellTable.h"
#include "xls/XlsCell.h"
#include "xls/records/ColInfo.h"

namespace xls {

class SharedStringTable;
class XlsDocument;

class XlsSheet {
public:
    // The BIFF8 grid: rows 0 to 65535, columns 0 to 255.
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    XlsSheet(XlsDocument* document, int index);
    XlsSheet(const XlsSheet&) = delete;
    XlsSheet& operator=(const XlsSheet&) = delete;

    void AddRef() { ++refCount_; }
    void Release();

    // The cell at (row, column), growing the grid so that it exists; null
    // (and the grid unchanged) outside the BIFF8 grid. The pointer stays
    // valid until the grid grows again.
    XlsCell* Cell(int row, int column);
    // Gives back the grid memory no cell uses yet (a save calls it: the grid
    // is then complete, as a rule).
    void ReleaseUnusedMemory() noexcept { cellMemory_.ReleaseUnused(); }
    // Sizes the grid from the worksheet's DIMENSIONS (at least one cell) and
    // fills it from the worksheet's cell records.
    void LoadFromWorksheet();

    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    int RowCount() const { return rowCount_; }
    int ColumnCount() const { return columnCount_; }
    // A cell inside the grid, without growing it.
    const XlsCell& At(int row, int column) const { return RowAt(row)[column]; }
    // The cells of a row inside the grid, ColumnCount() of them.
    const XlsCell* RowAt(int row) const { return ChunkRow(row); }
    ColInfos& ColumnInfos() { return colInfos_; }
    const ColInfos& ColumnInfos() const { return colInfos_; }

private:
    ~XlsSheet() { DestroyCells(); }

    // The grid is held in chunks of 32 rows, each row `stride_` cells long;
    // cells beyond the row and column counts are empty.
    static constexpr int kRowsPerChunk = 32;

    void Widen(int columns);
    void Lengthen(int rows);
    // The cells of a new chunk with rows `stride` cells long, in `memory`.
    static XlsCell* NewChunk(CellArena& memory, int stride);
    // Destroys the cells of every chunk; their memory stays with cellMemory_.
    void DestroyCells();
    XlsCell* ChunkRow(int row) const {
        return &chunks_[static_cast<size_t>(row / kRowsPerChunk)]
                       [static_cast<size_t>(row % kRowsPerChunk * stride_)];
    }
    void LoadCell(const CellBlock& block, const SharedStringTable& sst);
    void LoadNumber(int row, int column, uint32_t rk, uint16_t xfIndex);
    void LoadFormat(int row, int column, uint16_t xfIndex);
    void LoadSingleCell(const CellBlock& block, const SharedStringTable& sst, XlsCell& cell);

    uint32_t refCount_ = 0;
    XlsDocument* document_;
    int index_;
    int rowCount_ = 0;
    int columnCount_ = 0;
    int stride_ = 0;
    std::vector<XlsCell*> chunks_;
    // Where the chunks live: let go with the sheet, or when the grid is laid out anew.
    CellArena cellMemory_;
    ColInfos colInfos_;
};

using XlsSheetRef = RefPtr<XlsSheet>;

}  // namespace xls
