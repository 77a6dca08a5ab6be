// Saving a document: lay out the workbook stream (the stream position of
// every worksheet, of every row block's DBCELL and the DBCELL offsets back to
// the rows and cells), write all records into one block of the summed sizes
// and hand that block to the compound file in one write.

#include <memory>
#include <string>

#include "xls/XlsDocument.h"

namespace xls {

namespace {

const char kStreamName[] = "Workbook";
constexpr uint32_t kRowRecordSize = 20;

// Fills the block's DBCELL and returns the bytes of its ROW and cell records.
// The DBCELL points back to the first ROW; its per-row offsets lead from the
// second ROW to the first row's first cell, then from each row's first cell
// to the next row's first cell. A row left without cells keeps its offset.
uint32_t LayOutRowBlock(RowBlock& block) {
    const uint32_t rowsSize = block.RowsSize();
    std::vector<uint16_t>& rowOffsets = block.dbcell.rowOffsets;
    uint32_t offset = block.rows.empty() ? 0 : rowsSize - kRowRecordSize;
    uint32_t cellsSize = 0;
    size_t r = 0;
    for (const CellBlockRef& cell : block.cells) {
        CellRecord* record = cell ? cell->GetRecord() : nullptr;
        if (record == nullptr) {
            continue;
        }
        for (; r < block.rows.size() && record->row >= block.rows[r].row; ++r) {
            if (r < rowOffsets.size()) {
                rowOffsets[r] = static_cast<uint16_t>(offset);
            }
            offset = 0;
        }
        const uint32_t size = record->RecordSize();
        offset += size;
        cellsSize += size;
    }
    block.dbcell.firstRowOffset = rowsSize + cellsSize;
    return rowsSize + cellsSize;
}

// Stores the stream position of each row block's DBCELL in the INDEX, for a
// worksheet that starts at stream position `start`, and returns the
// worksheet's size: one pass over its records.
uint32_t LayOutWorksheet(Worksheet& worksheet, uint32_t start) {
    std::vector<uint32_t>& positions = worksheet.index.dbcellPositions;
    uint32_t p = start + worksheet.SizeBeforeCellTable();
    std::vector<RowBlock>& blocks = worksheet.cellTable.blocks;
    for (size_t b = 0; b < blocks.size(); ++b) {
        p += LayOutRowBlock(blocks[b]);
        if (b < positions.size()) {
            positions[b] = p;
        }
        p += blocks[b].dbcell.RecordSize();
    }
    return p - start + worksheet.SizeAfterCellTable();
}

}  // namespace

// A document without sheets (before New) is no workbook and is not saved.
bool XlsDocument::SaveAs(const char16_t* path) {
    Close();
    if (sheets_.empty() || path == nullptr || !store_.Create(std::u16string(path))) {
        return false;
    }
    if (store_.CreateStream(kStreamName) != 1) {
        store_.Close();
        return false;
    }
    return Save();
}

// The file replaces the target only through Commit, once every byte is
// written; on any failure Close abandons it, removing the unfinished file.
bool XlsDocument::Save() {
    if (!store_.IsOpen()) {
        return false;
    }
    bool saved = false;
    {
        ConvertSheets();
        const uint32_t total = LayOutStream();
        // Not zero-filled: the records write every byte of it.
        const std::unique_ptr<uint8_t[]> stream(new uint8_t[total]);
        saved = WriteRecords(stream.get(), total) &&
                store_.WriteStream(kStreamName, stream.get(), total) == 1;
    }
    saved = saved && store_.Commit();
    if (!saved) {
        store_.Close();
    }
    return saved;
}

void XlsDocument::Close() {
    store_.Close();
}

std::vector<uint8_t> XlsDocument::BuildStream() {
    ConvertSheets();
    const uint32_t total = LayOutStream();
    std::vector<uint8_t> stream(total);
    if (!WriteRecords(stream.data(), total)) {
        return {};
    }
    return stream;
}

// The globals, then every worksheet; false if the bytes written disagree
// with the laid-out total.
bool XlsDocument::WriteRecords(uint8_t* out, uint32_t total) {
    uint32_t written = workbook_.Write(out);
    for (Worksheet& worksheet : worksheets_) {
        written += worksheet.Write(out + written);
    }
    return written == total;
}

// Worksheet i follows the globals and worksheets 0 to i - 1 without gaps;
// BOUNDSHEET i holds its position. Returns the length of the whole stream.
uint32_t XlsDocument::LayOutStream() {
    uint32_t p = workbook_.RecordSize();
    for (size_t i = 0; i < worksheets_.size(); ++i) {
        if (i < workbook_.sheets.size()) {
            workbook_.sheets[i].streamPosition = p;
        }
        p += LayOutWorksheet(worksheets_[i], p);
    }
    return p;
}

}  // namespace xls
