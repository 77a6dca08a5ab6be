// DBCELL (0x00D7): closes a row block (the ROW records of up to 32 rows, then
// their cell records) and lets a reader find the block's rows and cells:
//  - firstRowOffset: bytes from the start of the block's first ROW record back
//    from this DBCELL, i.e. the size of all ROW and cell records of the block;
//  - rowOffsets, one per ROW of the block: for the first row, the bytes from
//    the start of the block's second ROW record to the row's first cell record
//    (the block's ROW bytes minus 20); for every later row, the bytes from the
//    previous row's first cell record to this row's first cell record.
// The save computes both once the sizes of the block are known.
#pragma once

#include <vector>

#include "xls/records/Record.h"

namespace xls {

class DBCell : public Record {
public:
    DBCell();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint32_t firstRowOffset = 0;
    std::vector<uint16_t> rowOffsets;
};

}  // namespace xls
