// Common part of the cell records (BLANK, BOOLERR, LABELSST, MULBLANK, MULRK,
// NUMBER, RK, FORMULA): every one begins with the row and the (first) column.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class CellRecord : public Record {
public:
    using Record::Record;

    uint16_t row = 0;
    // The first column for MULBLANK and MULRK.
    uint16_t column = 0;
};

}  // namespace xls
