// BLANK (0x0201): an empty cell that carries a cell format.
#pragma once

#include "xls/records/CellRecord.h"

namespace xls {

class Blank : public CellRecord {
public:
    static constexpr uint32_t kDataSize = 6;

    Blank();
    uint32_t Write(uint8_t* out) override;

    uint16_t xfIndex = 0;
};

}  // namespace xls
