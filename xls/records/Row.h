// ROW (0x0208): one row of a worksheet: its number, the span of columns that
// hold cells, its height and its options.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class Row : public Record {
public:
    static constexpr uint32_t kDataSize = 16;

    Row();
    uint32_t Write(uint8_t* out) override;

    uint16_t row = 0;
    uint16_t firstColumn = 0;
    uint16_t lastColumnPlusOne = 0;
    // In twips (1/20 point).
    uint16_t height = 0x00FF;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    // Bits 16 to 27: XF index of the row.
    uint32_t options = 0x00000100;
};

}  // namespace xls
