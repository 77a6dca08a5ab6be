// Saving a document: lay out the workbook stream (the stream position of
// every worksheet, of every row block's DBCELL and the DBCELL offsets back to
// the rows and cells), write all records into one block of the summed sizes
// and hand that block to the compound file in one write. Sizes and positions
// are reckoned in 64 bits; a stream the format cannot hold is refused before
// its block is allocated.

#include <memory>
#include <optional>
#include <string>

#include "xls/BlockMemory.h"
#include "xls/XlsDocument.h"

namespace xls {

namespace {

const char kStreamName[] = "Workbook";
constexpr uint64_t kRowRecordSize = 20;
constexpr uint64_t kMaxRowOffset = 0xFFFF;

// BOUNDSHEET, INDEX and DBCELL hold stream positions and offsets in 32 bits.
static_assert(CompoundStore::kMaxStreamSize <= 0xFFFFFFFF);

// Fills the block's DBCELL and returns the bytes of its ROW and cell records.
// The DBCELL points back to the first ROW; its per-row offsets lead from the
// second ROW to the first row's first cell, then from each row's first cell
// to the next row's first cell. A row left without cells keeps its offset.
// Nothing when a per-row offset passes the 16 bits the DBCELL holds it in.
std::optional<uint64_t> LayOutRowBlock(RowBlock& block) {
    const uint64_t rowsSize = block.RowsSize();
    std::vector<uint16_t>& rowOffsets = block.dbcell.rowOffsets;
    uint64_t offset = block.rows.empty() ? 0 : rowsSize - kRowRecordSize;
    uint64_t cellsSize = 0;
    size_t r = 0;
    for (const CellBlockRef& cell : block.cells) {
        const CellRecord* record = cell ? cell->GetRecord() : nullptr;
        if (record == nullptr) {
            continue;
        }
        for (; r < block.rows.size() && record->row >= block.rows[r].row; ++r) {
            if (r < rowOffsets.size()) {
                if (offset > kMaxRowOffset) {
                    return std::nullopt;
                }
                rowOffsets[r] = static_cast<uint16_t>(offset);
            }
            offset = 0;
        }
        const uint32_t size = cell->RecordSize();
        offset += size;
        cellsSize += size;
    }
    block.dbcell.firstRowOffset = static_cast<uint32_t>(rowsSize + cellsSize);
    return rowsSize + cellsSize;
}

// Stores the stream position of each row block's DBCELL in the INDEX, for a
// worksheet that starts at stream position `start`, and returns the
// worksheet's size: one pass over its records. Nothing when a row block
// cannot be laid out.
std::optional<uint64_t> LayOutWorksheet(Worksheet& worksheet, uint64_t start) {
    std::vector<uint32_t>& positions = worksheet.index.dbcellPositions;
    uint64_t p = start + worksheet.SizeBeforeCellTable();
    std::vector<RowBlock>& blocks = worksheet.cellTable.blocks;
    for (size_t b = 0; b < blocks.size(); ++b) {
        const std::optional<uint64_t> size = LayOutRowBlock(blocks[b]);
        if (!size) {
            return std::nullopt;
        }
        p += *size;
        if (b < positions.size()) {
            positions[b] = static_cast<uint32_t>(p);
        }
        p += blocks[b].dbcell.RecordSize();
    }
    return p - start + worksheet.SizeAfterCellTable();
}

struct BlockDeleter {
    size_t size;
    void operator()(uint8_t* block) const { FreeBlock(block, size); }
};

}  // namespace

// A document without sheets, or without the FONT, XF and STYLE records that
// New puts in the globals, is no workbook and is not saved.
bool XlsDocument::SaveAs(const char16_t* path) {
    Close();
    lastError_ = SaveError();
    if (sheets_.empty() || !workbook_.HoldsFormatRecords() || path == nullptr) {
        return Fail(InvalidRequest());
    }
    if (!store_.Create(std::u16string(path)) || store_.CreateStream(kStreamName) != 1) {
        return Fail(store_.LastError());
    }
    return Save();
}

// The file replaces the target only through Commit, once every byte is
// written; on any failure Close abandons it, removing the unfinished file.
bool XlsDocument::Save() {
    if (!store_.IsOpen()) {
        return Fail(InvalidRequest());
    }
    ConvertSheets();
    const std::optional<uint64_t> total = LayOutStream();
    if (!total) {
        return Fail(TooLarge());
    }
    // Not zero-filled: the records write every byte of it.
    const auto size = static_cast<size_t>(*total);
    const std::unique_ptr<uint8_t, BlockDeleter> stream(static_cast<uint8_t*>(AllocateBlock(size)),
                                                        BlockDeleter{size});
    if (!WriteRecords(stream.get(), *total)) {
        return Fail(InvalidRequest());
    }
    if (store_.WriteStream(kStreamName, stream.get(), size) != 1 || !store_.Commit()) {
        return Fail(store_.LastError());
    }
    return true;
}

// Records why the save failed and abandons the unfinished file; false.
bool XlsDocument::Fail(const SaveError& error) {
    lastError_ = error;
    store_.Close();
    return false;
}

void XlsDocument::Close() {
    store_.Close();
}

std::vector<uint8_t> XlsDocument::BuildStream() {
    ConvertSheets();
    return WriteRecordSets();
}

std::vector<uint8_t> XlsDocument::WriteRecordSets() {
    const std::optional<uint64_t> total = LayOutStream();
    if (!total) {
        return {};
    }
    std::vector<uint8_t> stream(*total);
    if (!WriteRecords(stream.data(), *total)) {
        return {};
    }
    return stream;
}

// The globals, then every worksheet; false if the bytes written disagree
// with the laid-out total.
bool XlsDocument::WriteRecords(uint8_t* out, uint64_t total) {
    uint64_t written = workbook_.Write(out);
    for (Worksheet& worksheet : worksheets_) {
        written += worksheet.Write(out + written);
    }
    return written == total;
}

// Worksheet i follows the globals and worksheets 0 to i - 1 without gaps;
// BOUNDSHEET i holds its position. Returns the length of the whole stream;
// nothing when the stream would be longer than a compound file holds or a
// row block cannot be laid out. Each worksheet is sized in the pass that
// places its row blocks; a stream found too long in the end has its
// positions cut to 32 bits, but is never written.
std::optional<uint64_t> XlsDocument::LayOutStream() {
    uint64_t p = workbook_.RecordSize();
    for (size_t i = 0; i < worksheets_.size(); ++i) {
        if (i < workbook_.sheets.size()) {
            workbook_.sheets[i].streamPosition = static_cast<uint32_t>(p);
        }
        const std::optional<uint64_t> size = LayOutWorksheet(worksheets_[i], p);
        if (!size) {
            return std::nullopt;
        }
        p += *size;
    }
    if (p > CompoundStore::kMaxStreamSize) {
        return std::nullopt;
    }
    return p;
}

}  // namespace xls
