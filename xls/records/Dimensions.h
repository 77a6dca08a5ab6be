// DIMENSIONS (0x0200): the used range of a worksheet, rows and columns, each
// as first used and last used + 1.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class Dimensions : public Record {
public:
    static constexpr uint32_t kDataSize = 14;

    Dimensions();
    uint32_t Write(uint8_t* out) override;

    uint32_t firstRow = 0;
    uint32_t lastRowPlusOne = 0;
    uint16_t firstColumn = 0;
    uint16_t lastColumnPlusOne = 0;
    uint16_t reserved = 0;
};

}  // namespace xls
