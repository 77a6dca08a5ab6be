// The cell table of a worksheet: row blocks of up to 32 rows, each written as
// its ROW records, then the cell records of those rows, then its DBCELL.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "xls/RefPtr.h"
#include "xls/records/CellRecord.h"
#include "xls/records/DBCell.h"
#include "xls/records/Row.h"

namespace xls {

// Reference-counted holder of one cell record, shared by handles.
class CellBlock {
public:
    static constexpr int16_t kNone = -1;

    CellBlock() = default;
    CellBlock(const CellBlock&) = delete;
    CellBlock& operator=(const CellBlock&) = delete;

    void AddRef() { ++refCount_; }
    // Destroys the block (and its record) when the last handle lets go.
    void Release();

    // Holds a new default record of that kind (FORMULA, MULRK, MULBLANK,
    // LABELSST, BLANK, NUMBER, BOOLERR, RK); any other code holds none. The
    // current code keeps the current record.
    void SetType(int16_t code);
    // Destroys the held record; the code becomes kNone.
    void Reset();

    int16_t Code() const { return code_; }
    CellRecord* GetRecord() const { return record_.get(); }
    // The held record as its concrete class; null when it is of another kind.
    template <typename T>
    T* As() const {
        return dynamic_cast<T*>(record_.get());
    }

private:
    ~CellBlock() = default;

    uint32_t refCount_ = 0;
    int16_t code_ = kNone;
    std::unique_ptr<CellRecord> record_;
};

using CellBlockRef = RefPtr<CellBlock>;

class RowBlock {
public:
    static constexpr uint32_t kRowsPerBlock = 32;

    // Bytes of the ROW records.
    uint64_t RowsSize();
    // Bytes of the cell records.
    uint64_t CellsSize();
    uint64_t RecordSize();
    uint32_t Write(uint8_t* out);

    std::vector<Row> rows;
    // Row by row, left to right.
    std::vector<CellBlockRef> cells;
    DBCell dbcell;
};

class CellTable {
public:
    uint64_t RecordSize();
    uint32_t Write(uint8_t* out);

    // Block b holds grid rows 32b to 32b + 31.
    std::vector<RowBlock> blocks;
};

}  // namespace xls
