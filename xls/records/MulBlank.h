// MULBLANK (0x00BE): a run of empty cells in one row, each with its own cell
// format; `column` is the first column of the run.
#pragma once

#include <vector>

#include "xls/records/CellRecord.h"

namespace xls {

class MulBlank : public CellRecord {
public:
    MulBlank();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    // One per cell, in column order.
    std::vector<uint16_t> xfIndices;
    uint16_t lastColumn = 0;
};

}  // namespace xls
