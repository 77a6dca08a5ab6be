// MULRK (0x00BD): a run of numeric cells in one row, each an XF index and an
// RK value (encoding in RK.h); `column` is the first column of the run.
#pragma once

#include <vector>

#include "xls/records/CellRecord.h"

namespace xls {

struct MulRKCell {
    uint16_t xfIndex = 0;
    uint32_t rkValue = 0;
};

class MulRK : public CellRecord {
public:
    MulRK();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    // One per cell, in column order.
    std::vector<MulRKCell> cells;
    uint16_t lastColumn = 0;
};

}  // namespace xls
