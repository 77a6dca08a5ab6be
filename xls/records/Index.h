// INDEX (0x020B): lets a reader find the rows of a worksheet without reading
// every cell. It gives the used row range and, for each row block (32 rows),
// the absolute stream position of the block's DBCELL record. The positions are
// known only once the whole stream is laid out; the save fills them in.
#pragma once

#include <vector>

#include "xls/records/Record.h"

namespace xls {

class Index : public Record {
public:
    Index();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint32_t reserved1 = 0;
    // Held as 64-bit values, written as their low 32 bits.
    uint64_t firstRow = 0;
    uint64_t lastRowPlusOne = 0;
    uint32_t reserved2 = 0;
    // One entry per row block, in block order.
    std::vector<uint32_t> dbcellPositions{0};
};

}  // namespace xls
