// BOOLERR (0x0205): a cell holding a boolean or an error code.
#pragma once

#include "xls/records/CellRecord.h"

namespace xls {

class BoolErr : public CellRecord {
public:
    static constexpr uint32_t kDataSize = 8;

    BoolErr();
    uint32_t Write(uint8_t* out) override;

    uint16_t xfIndex = 0;
    uint8_t value = 0;
    // 1: value is an error code; 0: value is a boolean.
    uint8_t isError = 0;
};

}  // namespace xls
