// The cell table of a worksheet: row blocks of up to 32 rows, each written as
// its ROW records, then the cell records of those rows, then its DBCELL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "xls/CellArena.h"
#include "xls/RefPtr.h"
#include "xls/records/CellRecord.h"
#include "xls/records/DBCell.h"
#include "xls/records/Row.h"

namespace xls {

// Reference-counted holder of one cell record, shared by handles. A block
// that a cell table makes in its arena (NewCellBlock) lives in the table's
// memory: its handles must not outlive the table.
class CellBlock {
public:
    static constexpr int16_t kNone = -1;

    CellBlock() = default;
    CellBlock(const CellBlock&) = delete;
    CellBlock& operator=(const CellBlock&) = delete;

    void AddRef() { ++refCount_; }
    // Destroys the block (and its record) when the last handle lets go.
    void Release() {
        if (--refCount_ == 0) {
            Destroy();
        }
    }

    // Holds a new default record of that kind (FORMULA, MULRK, MULBLANK,
    // LABELSST, BLANK, NUMBER, BOOLERR, RK); any other code holds none. The
    // current code keeps the current record.
    void SetType(int16_t code);
    // Destroys the held record; the code becomes kNone.
    void Reset();

    int16_t Code() const { return code_; }
    CellRecord* GetRecord() const { return record_; }
    // Bytes the held record writes; 0 when it holds none.
    uint32_t RecordSize() const;
    // The held record as its concrete class; null when it is of another kind.
    template <typename T>
    T* As() const {
        return dynamic_cast<T*>(record_);
    }

private:
    friend class CellTable;

    // Where the block and its record live: on the heap unless marked as
    // placed in a cell table's arena, whose memory they must not free.
    enum Placement : uint8_t {
        kBlockInArena = 1,
        kRecordInArena = 2,
    };

    // A block placed in an arena, holding a record placed there too.
    explicit CellBlock(CellRecord* record)
        : code_(static_cast<int16_t>(record->Code())),
          placement_(kBlockInArena | kRecordInArena),
          record_(record) {}
    ~CellBlock() { Reset(); }
    void Destroy();

    uint32_t refCount_ = 0;
    int16_t code_ = kNone;
    uint8_t placement_ = 0;
    // Owned; null when the code is kNone.
    CellRecord* record_ = nullptr;
};

using CellBlockRef = RefPtr<CellBlock>;

class RowBlock {
public:
    static constexpr uint32_t kRowsPerBlock = 32;
    using CellList = std::vector<CellBlockRef, ArenaAllocator<CellBlockRef>>;

    // ROW records and cell list on the heap, or in `arena` (a cell table's).
    RowBlock() = default;
    explicit RowBlock(CellArena* arena)
        : rows(ArenaAllocator<Row>(arena)), cells(ArenaAllocator<CellBlockRef>(arena)) {}

    // Bytes of the ROW records.
    uint64_t RowsSize();
    // Bytes of the cell records.
    uint64_t CellsSize();
    uint64_t RecordSize();
    uint32_t Write(uint8_t* out);

    std::vector<Row, ArenaAllocator<Row>> rows;
    // Row by row, left to right.
    CellList cells;
    DBCell dbcell;
};

class CellTable {
public:
    CellTable() : arena_(std::make_unique<CellArena>()) {}
    CellTable(CellTable&&) noexcept = default;
    CellTable& operator=(CellTable&&) noexcept = default;
    // The row blocks go first: their records may live in the arena.
    ~CellTable() { blocks.clear(); }

    uint64_t RecordSize();
    uint32_t Write(uint8_t* out);

    // A new cell block holding a new default RecordType record, both placed
    // in the table's arena and released with the table.
    template <typename RecordType>
    CellBlockRef NewCellBlock() {
        static_assert(sizeof(CellBlock) % alignof(RecordType) == 0, "the record follows the block");
        auto* memory =
            static_cast<std::byte*>(arena_->Allocate(sizeof(CellBlock) + sizeof(RecordType)));
        CellRecord* record = new (memory + sizeof(CellBlock)) RecordType();
        return CellBlockRef(new (memory) CellBlock(record));
    }

    // Gives back the arena memory no cell block uses, once the table is complete.
    void ReleaseUnusedMemory() noexcept { arena_->ReleaseUnused(); }
    // Appends `count` empty row blocks whose ROW records and cell lists go to
    // the arena: like the cell blocks, they must not outlive the table, not
    // even moved out of it.
    void AddRowBlocks(size_t count);

    // Block b holds grid rows 32b to 32b + 31.
    std::vector<RowBlock> blocks;

private:
    // On the heap, so that the row blocks' allocators keep pointing at it
    // when the table moves.
    std::unique_ptr<CellArena> arena_;
};

}  // namespace xls
